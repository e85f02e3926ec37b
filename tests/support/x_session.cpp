#include "tests/support/x_session.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

pid_t serverPid = 0;
Display* display = nullptr;

int ignoreXErrors(Display*, XErrorEvent*) { return 0; }

void sleepMilliseconds(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

bool runQuietly(const std::vector<std::string>& command) {
  const pid_t pid = startProgram(command[0], std::vector<std::string>(command.begin() + 1, command.end()));
  return pid > 0 && waitForExit(pid, 10000) == 0;
}

// The window's title: _NET_WM_NAME where set (SDL's message boxes set only
// that), else WM_NAME.
std::string windowName(Window window) {
  std::string name;
  Atom type;
  int format;
  unsigned long count, remaining;
  unsigned char* data = nullptr;
  const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
  if (XGetWindowProperty(display, window, netName, 0, 256, False, AnyPropertyType, &type, &format, &count, &remaining,
                         &data) == Success &&
      data != nullptr) {
    if (format == 8) name.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
    if (!name.empty()) return name;
  }
  char* plain = nullptr;
  if (XFetchName(display, window, &plain) && plain != nullptr) {
    name = plain;
    XFree(plain);
  }
  return name;
}

unsigned long findByName(Window window, const std::string& name) {
  if (windowName(window) == name) return window;
  Window root, parent;
  Window* children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
  unsigned long found = 0;
  for (unsigned int i = 0; i < count && found == 0; ++i) found = findByName(children[i], name);
  if (children != nullptr) XFree(children);
  return found;
}

}  // namespace

namespace {

bool startXServerOnce(const char* screen, const std::vector<std::string>& serverOptions) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return false;
  serverPid = fork();
  if (serverPid == 0) {
    close(pipeEnds[0]);
    const std::string fd = std::to_string(pipeEnds[1]);
    std::vector<const char*> argv = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen, "-noreset", "-nolisten",
                                     "tcp"};
    for (const std::string& option : serverOptions) argv.push_back(option.c_str());
    argv.push_back(nullptr);
    execvp("Xvfb", const_cast<char* const*>(argv.data()));
    _exit(127);
  }
  close(pipeEnds[1]);
  // Xvfb writes the number and the newline in two writes, and dies when the
  // second finds the pipe closed: read up to the newline before closing.
  char number[16] = {};
  size_t got = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (got < sizeof(number) - 1 && std::memchr(number, '\n', got) == nullptr) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd waiting = {pipeEnds[0], POLLIN, 0};
    if (left.count() <= 0 || poll(&waiting, 1, static_cast<int>(left.count())) != 1) break;
    const ssize_t chunk = read(pipeEnds[0], number + got, sizeof(number) - 1 - got);
    if (chunk < 0 && errno == EINTR) continue;
    if (chunk <= 0) break;
    got += static_cast<size_t>(chunk);
  }
  close(pipeEnds[0]);
  if (std::memchr(number, '\n', got) == nullptr) {
    stopXServer();
    return false;
  }
  const std::string name = ":" + std::to_string(std::atoi(number));
  setenv("DISPLAY", name.c_str(), 1);
  display = XOpenDisplay(name.c_str());
  if (display == nullptr) {
    stopXServer();
    return false;
  }
  return true;
}

}  // namespace

bool startXServer(const char* screen, bool add640x480, const std::vector<std::string>& serverOptions) {
  // Servers started at the same moment by tests running side by side may
  // race for a display number; the loser simply tries again.
  bool started = false;
  for (int attempt = 0; attempt < 5 && !started; ++attempt) {
    started = startXServerOnce(screen, serverOptions);
    if (!started) sleepMilliseconds(100 * (attempt + 1));
  }
  if (!started) {
    std::fprintf(stderr, "Xvfb did not start (is it installed?)\n");
    return false;
  }
  XSetErrorHandler(ignoreXErrors);
  if (add640x480) {
    runQuietly({"xrandr", "--newmode", "640x480_60", "25.175", "640", "656", "752", "800", "480", "490", "492", "525",
                "-hsync", "-vsync"});
    runQuietly({"xrandr", "--addmode", "screen", "640x480_60"});
  }
  return true;
}

void stopXServer() {
  if (display != nullptr) XCloseDisplay(display);
  display = nullptr;
  if (serverPid > 0) {
    kill(serverPid, SIGTERM);
    waitpid(serverPid, nullptr, 0);
  }
  serverPid = 0;
}

void killXServer() {
  // Our own connection goes first, so that nothing here meets the lost server.
  if (display != nullptr) XCloseDisplay(display);
  display = nullptr;
  if (serverPid > 0) {
    kill(serverPid, SIGKILL);
    waitpid(serverPid, nullptr, 0);
  }
  serverPid = 0;
}

pid_t startProgram(const std::string& path, const std::vector<std::string>& arguments,
                   const std::vector<std::string>& environment, const std::string& outputPath) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  setpgid(0, 0);
  if (!outputPath.empty()) {
    const int output = open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (output >= 0) {
      dup2(output, STDOUT_FILENO);
      dup2(output, STDERR_FILENO);
      close(output);
    }
  }
  for (const std::string& entry : environment) {
    const size_t equals = entry.find('=');
    const std::string variable = entry.substr(0, equals);
    if (equals + 1 == entry.size()) {
      unsetenv(variable.c_str());
    } else {
      setenv(variable.c_str(), entry.substr(equals + 1).c_str(), 1);
    }
  }
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(path.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  execvp(path.c_str(), argv.data());
  _exit(127);
}

int waitForExit(pid_t pid, int timeoutMilliseconds) {
  for (int waited = 0; waited <= timeoutMilliseconds; waited += 10) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      if (WIFEXITED(status)) return WEXITSTATUS(status);
      if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    }
    sleepMilliseconds(10);
  }
  killProgramGroup(pid);
  waitpid(pid, nullptr, 0);
  return -1;
}

void killProgramGroup(pid_t pid) {
  if (pid > 0) kill(-pid, SIGKILL);
}

unsigned long waitForWindow(const std::string& name, int timeoutMilliseconds) {
  if (display == nullptr) return 0;
  for (int waited = 0; waited <= timeoutMilliseconds; waited += 20) {
    const unsigned long window = findByName(DefaultRootWindow(display), name);
    if (window != 0) {
      XWindowAttributes attributes;
      if (XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable) return window;
    }
    sleepMilliseconds(20);
  }
  return 0;
}

bool windowExists(unsigned long window) {
  if (display == nullptr) return false;
  XWindowAttributes attributes;
  XSync(display, False);
  return XGetWindowAttributes(display, window, &attributes) != 0;
}

XWindowInfo windowInfo(unsigned long window) {
  XWindowAttributes attributes;
  XWindowInfo info = {window, 0, 0, 0, 0};
  if (display == nullptr || !XGetWindowAttributes(display, window, &attributes)) return info;
  Window child;
  XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &info.x, &info.y, &child);
  info.width = attributes.width;
  info.height = attributes.height;
  return info;
}

void screenSize(int* width, int* height) {
  // Ask the server anew: a mode switch changes the root window's size.
  XWindowAttributes attributes;
  *width = 0;
  *height = 0;
  if (display == nullptr) return;
  XSync(display, False);
  XGetWindowAttributes(display, DefaultRootWindow(display), &attributes);
  *width = attributes.width;
  *height = attributes.height;
}

bool waitForScreenSize(int width, int height, int timeoutMilliseconds) {
  for (int waited = 0; waited <= timeoutMilliseconds; waited += 20) {
    int actualWidth = 0;
    int actualHeight = 0;
    screenSize(&actualWidth, &actualHeight);
    if (actualWidth == width && actualHeight == height) return true;
    sleepMilliseconds(20);
  }
  return false;
}

bool waitForFocus(unsigned long window, int timeoutMilliseconds) {
  if (display == nullptr) return false;
  for (int waited = 0; waited <= timeoutMilliseconds; waited += 20) {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    if (focus == window) return true;
    sleepMilliseconds(20);
  }
  return false;
}

void focusWindow(unsigned long window) {
  XSetInputFocus(display, window, RevertToParent, CurrentTime);
  XSync(display, False);
}

void typeKey(unsigned long window, const char* keysymName) {
  focusWindow(window);
  sleepMilliseconds(30);
  const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(keysymName));
  // Held as long as a quick typist holds a key, so that a program which
  // samples key state once per frame sees it down.
  XTestFakeKeyEvent(display, code, True, CurrentTime);
  XSync(display, False);
  sleepMilliseconds(150);
  XTestFakeKeyEvent(display, code, False, CurrentTime);
  XSync(display, False);
}

void closeWindow(unsigned long window) {
  XEvent event;
  std::memset(&event, 0, sizeof(event));
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
}

Screenshot takeScreenshot(unsigned long window) {
  Screenshot shot;
  XWindowAttributes attributes;
  if (display == nullptr || !XGetWindowAttributes(display, window, &attributes)) return shot;
  XImage* image = XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
  if (image == nullptr) return shot;
  shot.width = attributes.width;
  shot.height = attributes.height;
  shot.pixels.resize(static_cast<size_t>(shot.width) * shot.height);
  for (int y = 0; y < shot.height; ++y) {
    for (int x = 0; x < shot.width; ++x) {
      const unsigned long value = XGetPixel(image, x, y);
      shot.pixels[static_cast<size_t>(y) * shot.width + x] =
          Pixel{static_cast<int>((value & image->red_mask) >> 16), static_cast<int>((value & image->green_mask) >> 8),
                static_cast<int>(value & image->blue_mask)};
    }
  }
  XDestroyImage(image);
  return shot;
}

bool writePpm(const Screenshot& shot, const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  std::fprintf(file, "P6\n%d %d\n255\n", shot.width, shot.height);
  for (const Pixel& pixel : shot.pixels) {
    const unsigned char rgb[3] = {static_cast<unsigned char>(pixel.r), static_cast<unsigned char>(pixel.g),
                                  static_cast<unsigned char>(pixel.b)};
    std::fwrite(rgb, 1, 3, file);
  }
  return std::fclose(file) == 0;
}

int countLitPixels(const Screenshot& shot) {
  int lit = 0;
  for (const Pixel& pixel : shot.pixels) lit += pixel.r + pixel.g + pixel.b > 0 ? 1 : 0;
  return lit;
}

unsigned long createHostWindow(int width, int height) {
  const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 100, 100, static_cast<unsigned>(width),
                                            static_cast<unsigned>(height), 0, 0, 0);
  XStoreName(display, window, "test host");
  XMapWindow(display, window);
  XSync(display, False);
  waitForWindow("test host", 5000);
  return window;
}

void destroyHostWindow(unsigned long window) {
  XDestroyWindow(display, window);
  XSync(display, False);
}

void warpPointer(int x, int y) {
  XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, x, y);
  XSync(display, False);
}

void movePointerBy(int dx, int dy) {
  XTestFakeRelativeMotionEvent(display, dx, dy, CurrentTime);
  XSync(display, False);
}

int countTopLevelWindows() {
  Window root, parent;
  Window* children = nullptr;
  unsigned int count = 0;
  XSync(display, False);
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return 0;
  if (children != nullptr) XFree(children);
  return static_cast<int>(count);
}

long residentKilobytes(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.compare(0, 6, "VmRSS:") == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

std::string readTextFile(const std::string& path) {
  std::ifstream file(path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

int countDifferingPixels(const Screenshot& first, const Screenshot& second, int threshold) {
  if (first.width != second.width || first.height != second.height) return -1;
  int differing = 0;
  for (size_t i = 0; i < first.pixels.size(); ++i) {
    const Pixel& a = first.pixels[i];
    const Pixel& b = second.pixels[i];
    if (std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > threshold) ++differing;
  }
  return differing;
}
