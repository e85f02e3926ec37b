// The screen-saver host on Xlib and GLX.
//
// The saver draws into one X window of ours: a full-screen window, a child
// of a window handed in by the desktop (preview, xscreensaver's window, the
// virtual root), or a window for trying the saver by hand. A child window
// with a GL visual of its own avoids inheriting a host window's visual that
// has no depth buffer or a single buffer, and follows the host window's size.

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "platform/checked_frames.h"
#include "platform/clock.h"
#include "platform/gl_context.h"
#include "platform/saver_host.h"

struct PlatformDeviceContext {
  PlatformWindow* window;
};

struct PlatformWindow {
  bool alive;
  Window xWindow;
  Window target;  // the window we draw inside, or the root for our own windows
  int width;
  int height;
  VisualID visual;
  Colormap colormap;
  int pixelFormat;
  PlatformDeviceContext deviceContext;
  void* userData;
  bool timerOn;
  uintptr_t timerId;
  uint32_t timerPeriod;
  uint32_t nextTick;
};

struct PlatformGlContext {
  bool alive;
  GLXContext context;
};

namespace {

constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;

// How far the mouse may drift before a full-screen saver ends.
constexpr int mouseSlack = 4;
constexpr int maxPixelFormats = 4;

const char* const saverClassName = "WindowsScreenSaverClass";

const char* programName = "screen-saver";
Display* display = nullptr;
SaverMode mode = SaverMode::configure;
PlatformWindow saverWindow;
PlatformGlContext glContexts[2];
XVisualInfo pixelFormats[maxPixelFormats];
int pixelFormatCount = 0;
int startX = 0;
int startY = 0;
bool closeRequested = false;
bool quitPosted = false;
int signalPipe[2] = {-1, -1};
// Set by SIGTERM, SIGINT or SIGHUP; the loop takes it back and closes.
volatile sig_atomic_t quitSignalPending = 0;
bool badWindow = false;
bool anyXError = false;
// Whether the display has GLX at all; without it the saver runs drawing nothing.
bool haveGlx = false;

int noteXError(Display*, XErrorEvent* error) {
  anyXError = true;
  if (error->error_code == BadWindow) badWindow = true;
  return 0;
}

int lostDisplay(Display*) {
  std::fprintf(stderr, "%s: lost the connection to the X display\n", programName);
  std::fflush(stderr);
  _exit(1);
}

void onSignal(int signalNumber) {
  // A second request before the first was taken means the saver is stuck
  // (in set-up, or a server that does not answer): end at once, as the
  // signal would by default.
  if (quitSignalPending) {
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
    return;
  }
  quitSignalPending = 1;
  const char byte = 1;
  if (signalPipe[1] >= 0) {
    ssize_t ignored = write(signalPipe[1], &byte, 1);
    (void)ignored;
  }
}

// Takes a pending quit signal: the saver closes through its normal teardown.
void takeQuitSignal() {
  if (!quitSignalPending) return;
  char drained[16];
  while (signalPipe[0] >= 0 && read(signalPipe[0], drained, sizeof(drained)) > 0) {
  }
  quitSignalPending = 0;
  closeRequested = true;
}

bool windowExists(Window window, XWindowAttributes* attributes) {
  badWindow = false;
  XWindowAttributes scratch;
  const Status status = XGetWindowAttributes(display, window, attributes != nullptr ? attributes : &scratch);
  XSync(display, False);
  return status != 0 && !badWindow;
}

// The window a desktop draws its wallpaper in: the root, or a virtual root
// that some window managers put over it.
Window virtualRoot() {
  const Window root = DefaultRootWindow(display);
  const Atom vroot = XInternAtom(display, "__SWM_VROOT", False);
  Window rootReturn, parent;
  Window* children = nullptr;
  unsigned int count = 0;
  Window found = root;
  if (XQueryTree(display, root, &rootReturn, &parent, &children, &count)) {
    for (unsigned int i = 0; i < count && found == root; ++i) {
      Atom type;
      int format;
      unsigned long items, remaining;
      unsigned char* data = nullptr;
      if (XGetWindowProperty(display, children[i], vroot, 0, 1, False, XA_WINDOW, &type, &format, &items, &remaining,
                             &data) == Success &&
          data != nullptr) {
        if (type == XA_WINDOW && items == 1) found = *reinterpret_cast<Window*>(data);
        XFree(data);
      }
    }
    if (children != nullptr) XFree(children);
  }
  return found;
}

// A running full-screen saver of any of our programs.
Window findRunningSaver() {
  Window rootReturn, parent;
  Window* children = nullptr;
  unsigned int count = 0;
  Window found = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &rootReturn, &parent, &children, &count)) return 0;
  for (unsigned int i = 0; i < count && found == 0; ++i) {
    XClassHint hint;
    if (XGetClassHint(display, children[i], &hint)) {
      char* name = nullptr;
      const bool titled = XFetchName(display, children[i], &name) && name != nullptr && std::strcmp(name, "Screen Saver") == 0;
      if (name != nullptr) XFree(name);
      if (titled && hint.res_class != nullptr && std::strcmp(hint.res_class, saverClassName) == 0) found = children[i];
      XFree(hint.res_name);
      XFree(hint.res_class);
    }
  }
  if (children != nullptr) XFree(children);
  return found;
}

intptr_t sizeParameter(int x, int y) {
  return static_cast<intptr_t>((static_cast<uint32_t>(y & 0xFFFF) << 16) | static_cast<uint32_t>(x & 0xFFFF));
}

// Best GL visual for a request, relaxing sizes until one matches.
bool chooseVisual(const PixelFormatDescriptor& request, XVisualInfo* chosen) {
  const int channel = request.colorBits >= 24 ? 8 : request.colorBits / 3;
  for (int relax = 0; relax < 2; ++relax) {
    int attributes[20];
    int n = 0;
    attributes[n++] = GLX_RGBA;
    if ((request.flags & PFD_DOUBLEBUFFER) != 0) attributes[n++] = GLX_DOUBLEBUFFER;
    attributes[n++] = GLX_RED_SIZE;
    attributes[n++] = relax ? 1 : channel;
    attributes[n++] = GLX_GREEN_SIZE;
    attributes[n++] = relax ? 1 : channel;
    attributes[n++] = GLX_BLUE_SIZE;
    attributes[n++] = relax ? 1 : channel;
    attributes[n++] = GLX_DEPTH_SIZE;
    attributes[n++] = relax ? 1 : request.depthBits;
    if (request.alphaBits != 0) {
      attributes[n++] = GLX_ALPHA_SIZE;
      attributes[n++] = request.alphaBits;
    }
    attributes[n++] = None;
    XVisualInfo* info = glXChooseVisual(display, DefaultScreen(display), attributes);
    if (info != nullptr) {
      *chosen = *info;
      XFree(info);
      return true;
    }
  }
  return false;
}

Cursor blankCursor() {
  static char noBits[8] = {};
  Pixmap pixmap = XCreateBitmapFromData(display, DefaultRootWindow(display), noBits, 8, 8);
  XColor black = {};
  Cursor cursor = XCreatePixmapCursor(display, pixmap, pixmap, &black, &black, 0, 0);
  XFreePixmap(display, pixmap);
  return cursor;
}

// Makes (or remakes, for another visual) the X window of the saver.
bool makeXWindow(PlatformWindow& window, const XVisualInfo* visual) {
  const bool own = mode == SaverMode::fullScreen || mode == SaverMode::window;
  XSetWindowAttributes attributes = {};
  unsigned long mask = CWBackPixel | CWBorderPixel | CWEventMask;
  attributes.background_pixel = BlackPixel(display, DefaultScreen(display));
  attributes.border_pixel = 0;
  attributes.event_mask = StructureNotifyMask;
  if (mode == SaverMode::fullScreen) {
    attributes.event_mask |= KeyPressMask | ButtonPressMask | PointerMotionMask | FocusChangeMask;
    attributes.override_redirect = True;  // above everything, untouched by the window manager
    attributes.cursor = blankCursor();
    mask |= CWOverrideRedirect | CWCursor;
  }
  int depth = CopyFromParent;
  Visual* xVisual = CopyFromParent;
  if (visual != nullptr) {
    window.colormap = XCreateColormap(display, window.target, visual->visual, AllocNone);
    attributes.colormap = window.colormap;
    mask |= CWColormap;
    depth = visual->depth;
    xVisual = visual->visual;
  }
  anyXError = false;
  window.xWindow = XCreateWindow(display, window.target, 0, 0, static_cast<unsigned>(window.width),
                                 static_cast<unsigned>(window.height), 0, depth, InputOutput, xVisual, mask, &attributes);
  XSync(display, False);
  // Xlib hands out the id before the server answers: a parent that went
  // away meanwhile shows only as an error.
  if (window.xWindow == 0 || anyXError) {
    window.xWindow = 0;
    return false;
  }
  window.visual = visual != nullptr ? visual->visualid : XVisualIDFromVisual(DefaultVisual(display, DefaultScreen(display)));

  const char* title = mode == SaverMode::fullScreen ? "Screen Saver" : mode == SaverMode::window ? programName : "Preview";
  XStoreName(display, window.xWindow, title);
  XClassHint hint = {const_cast<char*>(programName), const_cast<char*>(saverClassName)};
  XSetClassHint(display, window.xWindow, &hint);
  if (own) {
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window.xWindow, &deleteWindow, 1);
  }
  return true;
}

void postQuit() { quitPosted = true; }

void sendToSaver(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (!saverWindow.alive) return;
  // Once the saver is closing, input goes no further and ticks are dropped.
  if (closeRequested && message != WM_DESTROY) return;
  ScreenSaverProc(&saverWindow, message, wParam, lParam);
}

// Ends the saver: WM_DESTROY to the saver (which deletes its context), then
// the window itself, unless the window system already took it away.
void destroySaverWindow(bool xWindowGone) {
  if (!saverWindow.alive) return;
  postQuit();
  closeRequested = true;
  sendToSaver(WM_DESTROY, 0, 0);
  if (!xWindowGone && saverWindow.xWindow != 0) XDestroyWindow(display, saverWindow.xWindow);
  XSync(display, False);
  saverWindow.alive = false;
  saverWindow.xWindow = 0;
}

void handleXEvent(const XEvent& event) {
  switch (event.type) {
    case KeyPress:
      sendToSaver(WM_KEYDOWN, event.xkey.keycode, 0);
      break;
    case ButtonPress:
      if (event.xbutton.button == Button1) sendToSaver(WM_LBUTTONDOWN, 0, sizeParameter(event.xbutton.x, event.xbutton.y));
      if (event.xbutton.button == Button2) sendToSaver(WM_MBUTTONDOWN, 0, sizeParameter(event.xbutton.x, event.xbutton.y));
      if (event.xbutton.button == Button3) sendToSaver(WM_RBUTTONDOWN, 0, sizeParameter(event.xbutton.x, event.xbutton.y));
      break;
    case MotionNotify:
      sendToSaver(WM_MOUSEMOVE, 0, sizeParameter(event.xmotion.x_root, event.xmotion.y_root));
      break;
    case FocusOut:
      // The focus went to another window. Focus moving inside ours, through a
      // grab, or from the pointer's window when we took the focus, is no loss.
      if (event.xfocus.mode == NotifyNormal &&
          (event.xfocus.detail == NotifyAncestor || event.xfocus.detail == NotifyVirtual ||
           event.xfocus.detail == NotifyNonlinear || event.xfocus.detail == NotifyNonlinearVirtual))
        sendToSaver(WM_ACTIVATEAPP, 0, 0);
      break;
    case ConfigureNotify:
      if (event.xconfigure.window == saverWindow.target && saverWindow.target != DefaultRootWindow(display)) {
        saverWindow.width = event.xconfigure.width;
        saverWindow.height = event.xconfigure.height;
        XResizeWindow(display, saverWindow.xWindow, static_cast<unsigned>(saverWindow.width),
                      static_cast<unsigned>(saverWindow.height));
      }
      break;
    case DestroyNotify:
      // Our window, or the window we were drawing inside (which takes ours along).
      if (event.xdestroywindow.window == saverWindow.xWindow || event.xdestroywindow.window == saverWindow.target)
        destroySaverWindow(true);
      break;
    case ClientMessage:
      if (static_cast<Atom>(event.xclient.data.l[0]) == XInternAtom(display, "WM_DELETE_WINDOW", False))
        closeRequested = true;
      break;
    default:
      break;
  }
}

// Waits for X events, a signal or the next tick, whichever comes first.
void waitForWork() {
  int timeout = -1;
  if (saverWindow.alive && saverWindow.timerOn && !closeRequested) {
    const int32_t untilTick = static_cast<int32_t>(saverWindow.nextTick - readMillisecondClock());
    timeout = untilTick > 0 ? untilTick : 0;
  }
  pollfd sources[2] = {{ConnectionNumber(display), POLLIN, 0}, {signalPipe[0], POLLIN, 0}};
  if (!quitSignalPending) poll(sources, 2, timeout);
  takeQuitSignal();
}

void runLoop() {
  while (!quitPosted) {
    while (XPending(display) > 0 && !quitPosted) {
      XEvent event;
      XNextEvent(display, &event);
      handleXEvent(event);
    }
    if (quitPosted) break;
    // Checked on every pass: when frames take longer than the tick period
    // the loop goes from tick to tick without waiting, and a signal must
    // still end it at once.
    takeQuitSignal();
    if (closeRequested) {
      destroySaverWindow(false);
      break;
    }
    if (saverWindow.timerOn) {
      const uint32_t now = readMillisecondClock();
      if (static_cast<int32_t>(now - saverWindow.nextTick) >= 0) {
        // Late ticks are not made up: one tick, then the next a period later.
        saverWindow.nextTick = now + saverWindow.timerPeriod;
        sendToSaver(WM_TIMER, saverWindow.timerId, 0);
        continue;
      }
    }
    waitForWork();
  }
}

void installSignalHandlers() {
  if (pipe(signalPipe) == 0) {
    fcntl(signalPipe[0], F_SETFL, O_NONBLOCK);
    fcntl(signalPipe[1], F_SETFL, O_NONBLOCK);
    fcntl(signalPipe[0], F_SETFD, FD_CLOEXEC);
    fcntl(signalPipe[1], F_SETFD, FD_CLOEXEC);
  }
  struct sigaction action = {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signalNumber : {SIGTERM, SIGINT, SIGHUP}) sigaction(signalNumber, &action, nullptr);
}


const char* baseName(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash != nullptr ? slash + 1 : path;
}

}  // namespace

int runScreenSaver(int argc, char** argv) {
  if (argc > 0 && argv[0] != nullptr) programName = baseName(argv[0]);
  // Before anything is set up: a signal during set-up is kept and ends the
  // saver as soon as its loop starts.
  installSignalHandlers();
  const SaverCommand command = parseSaverCommandLine(argc, argv, std::getenv("XSCREENSAVER_WINDOW"));
  mode = command.mode;
  switch (mode) {
    case SaverMode::invalid:
      std::fprintf(stderr,
                   "%s: unknown command line; use s, p WINDOW, c, --root, --window-id WINDOW or --window "
                   "(WINDOW: an X window id, decimal or 0x hex)\n",
                   programName);
      return -1;
    case SaverMode::changePassword:
      std::fprintf(stderr, "%s: screen-saver passwords are the desktop's business, not the saver's\n", programName);
      return -1;
    case SaverMode::configure:
      // There is nothing to set: no dialog, no window.
      RegisterDialogClasses(nullptr);
      return 0;
    default:
      break;
  }

  display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "%s: cannot open the X display (is DISPLAY set?)\n", programName);
    return 1;
  }
  XSetErrorHandler(noteXError);
  XSetIOErrorHandler(lostDisplay);
  int glxError = 0;
  int glxEvent = 0;
  haveGlx = glXQueryExtension(display, &glxError, &glxEvent);
  if (!haveGlx) std::fprintf(stderr, "%s: the X display has no GLX: running without drawing\n", programName);

  const Window root = DefaultRootWindow(display);
  saverWindow = PlatformWindow{};
  saverWindow.deviceContext.window = &saverWindow;
  saverWindow.target = root;
  XWindowAttributes targetAttributes;
  switch (mode) {
    case SaverMode::preview:
    case SaverMode::windowId:
    case SaverMode::root:
      saverWindow.target = command.window != 0 ? command.window : virtualRoot();
      // Listen first, then look: a window that goes away after this is
      // reported, so the saver cannot outlive it unnoticed.
      XSelectInput(display, saverWindow.target, StructureNotifyMask);
      if (!windowExists(saverWindow.target, &targetAttributes)) {
        std::fprintf(stderr, "%s: 0x%lx is not a window on this display\n", programName, saverWindow.target);
        XCloseDisplay(display);
        return -1;
      }
      saverWindow.width = targetAttributes.width;
      saverWindow.height = targetAttributes.height;
      break;
    case SaverMode::fullScreen: {
      const Window running = findRunningSaver();
      if (running != 0) {
        XRaiseWindow(display, running);
        XSetInputFocus(display, running, RevertToParent, CurrentTime);
        XCloseDisplay(display);
        return 0;
      }
      saverWindow.width = DisplayWidth(display, DefaultScreen(display));
      saverWindow.height = DisplayHeight(display, DefaultScreen(display));
      break;
    }
    default:  // a window of its own
      saverWindow.width = 640;
      saverWindow.height = 480;
      break;
  }

  // A GL visual up front; the saver's own pixel format may replace it.
  XVisualInfo initial;
  const PixelFormatDescriptor usual = {40, 1, PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,
                                       PFD_TYPE_RGBA, 24, 0, 24, 0, PFD_MAIN_PLANE};
  const bool haveVisual = haveGlx && chooseVisual(usual, &initial);
  if (!makeXWindow(saverWindow, haveVisual ? &initial : nullptr)) {
    std::fprintf(stderr, "%s: cannot create the saver window\n", programName);
    XCloseDisplay(display);
    return 1;
  }
  saverWindow.alive = true;

  Window rootReturn, childReturn;
  int windowX, windowY;
  unsigned int buttons;
  XQueryPointer(display, root, &rootReturn, &childReturn, &startX, &startY, &windowX, &windowY, &buttons);

  sendToSaver(WM_CREATE, 0, 0);
  if (saverWindow.alive) {
    XMapRaised(display, saverWindow.xWindow);
    if (mode == SaverMode::fullScreen) {
      XSync(display, False);
      XSetInputFocus(display, saverWindow.xWindow, RevertToParent, CurrentTime);
    }
    XFlush(display);
    runLoop();
  }
  for (PlatformGlContext& context : glContexts) {
    if (context.alive) glXDestroyContext(display, context.context);
    context.alive = false;
  }
  XCloseDisplay(display);
  display = nullptr;
#ifdef ORRELIA_CHECKED_BUILD
  reportCheckedFrames(programName);
#endif
  return 0;
}

intptr_t DefScreenSaverProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (window == nullptr || !window->alive) return 0;
  if (message == WM_CLOSE) {
    closeRequested = true;
    return 0;
  }
  if (mode != SaverMode::fullScreen) return 0;
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      closeRequested = true;
      break;
    case WM_ACTIVATEAPP:
      if (wParam == 0) closeRequested = true;
      break;
    case WM_MOUSEMOVE: {
      const int x = static_cast<int>(static_cast<uint32_t>(lParam) & 0xFFFF);
      const int y = static_cast<int>((static_cast<uint32_t>(lParam) >> 16) & 0xFFFF);
      if (std::abs(x - startX) > mouseSlack || std::abs(y - startY) > mouseSlack) closeRequested = true;
      break;
    }
    default:
      break;
  }
  return 0;
}

int setTimer(WindowHandle window, uintptr_t timerId, uint32_t periodMilliseconds) {
  if (window == nullptr || !window->alive || periodMilliseconds == 0) return 0;
  window->timerOn = true;
  window->timerId = timerId;
  window->timerPeriod = periodMilliseconds;
  window->nextTick = readMillisecondClock() + periodMilliseconds;
  return static_cast<int>(timerId);
}

// --- the window and GL services a saver uses on its window

int getClientRect(WindowHandle window, WindowRect* rect) {
  if (window == nullptr || !window->alive || rect == nullptr) return 0;
  *rect = WindowRect{0, 0, window->width, window->height};
  return 1;
}

void setWindowUserData(WindowHandle window, void* data) {
  if (window != nullptr) window->userData = data;
}
void* getWindowUserData(WindowHandle window) { return window != nullptr ? window->userData : nullptr; }

DeviceContext getDeviceContext(WindowHandle window) {
  return window != nullptr && window->alive ? &window->deviceContext : nullptr;
}

int releaseDeviceContext(WindowHandle window, DeviceContext deviceContext) {
  return window != nullptr && deviceContext == &window->deviceContext ? 1 : 0;
}

int choosePixelFormat(DeviceContext deviceContext, const PixelFormatDescriptor* request) {
  if (deviceContext == nullptr || request == nullptr || display == nullptr || !haveGlx) return 0;
  XVisualInfo chosen;
  if (!chooseVisual(*request, &chosen)) return 0;
  for (int i = 0; i < pixelFormatCount; ++i) {
    if (pixelFormats[i].visualid == chosen.visualid) return i + 1;
  }
  if (pixelFormatCount == maxPixelFormats) return 0;
  pixelFormats[pixelFormatCount++] = chosen;
  return pixelFormatCount;
}

int describePixelFormat(DeviceContext deviceContext, int index, uint32_t descriptorSize,
                        PixelFormatDescriptor* description) {
  if (deviceContext == nullptr || index < 1 || index > pixelFormatCount) return 0;
  if (description != nullptr && descriptorSize >= 40) {
    XVisualInfo* visual = &pixelFormats[index - 1];
    int red = 0, green = 0, blue = 0, alpha = 0, depth = 0, stencil = 0, doubleBuffer = 0;
    glXGetConfig(display, visual, GLX_RED_SIZE, &red);
    glXGetConfig(display, visual, GLX_GREEN_SIZE, &green);
    glXGetConfig(display, visual, GLX_BLUE_SIZE, &blue);
    glXGetConfig(display, visual, GLX_ALPHA_SIZE, &alpha);
    glXGetConfig(display, visual, GLX_DEPTH_SIZE, &depth);
    glXGetConfig(display, visual, GLX_STENCIL_SIZE, &stencil);
    glXGetConfig(display, visual, GLX_DOUBLEBUFFER, &doubleBuffer);
    *description = PixelFormatDescriptor{40,
                                         1,
                                         PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | (doubleBuffer ? PFD_DOUBLEBUFFER : 0u),
                                         PFD_TYPE_RGBA,
                                         static_cast<uint8_t>(red + green + blue),
                                         static_cast<uint8_t>(alpha),
                                         static_cast<uint8_t>(depth),
                                         static_cast<uint8_t>(stencil),
                                         PFD_MAIN_PLANE};
  }
  return pixelFormatCount;
}

int setPixelFormat(DeviceContext deviceContext, int index, const PixelFormatDescriptor*) {
  if (deviceContext == nullptr || index < 1 || index > pixelFormatCount) return 0;
  PlatformWindow& window = *deviceContext->window;
  if (window.pixelFormat != 0) return 0;  // a window takes one format for its life
  const XVisualInfo& format = pixelFormats[index - 1];
  if (format.visualid != window.visual) {
    // X fixes a window's visual when it is made: remake the (still unmapped) window.
    XDestroyWindow(display, window.xWindow);
    if (window.colormap != 0) XFreeColormap(display, window.colormap);
    window.colormap = 0;
    if (!makeXWindow(window, &format)) return 0;
  }
  window.pixelFormat = index;
  return 1;
}

GlContext createGlContext(DeviceContext deviceContext) {
  if (deviceContext == nullptr || deviceContext->window->pixelFormat == 0) return nullptr;
  PlatformGlContext* slot = nullptr;
  for (PlatformGlContext& context : glContexts) {
    if (!context.alive) slot = &context;
  }
  if (slot == nullptr) return nullptr;
  XVisualInfo visual = pixelFormats[deviceContext->window->pixelFormat - 1];
  slot->context = glXCreateContext(display, &visual, nullptr, True);
  if (slot->context == nullptr) return nullptr;
  slot->alive = true;
  return slot;
}

int makeGlContextCurrent(DeviceContext deviceContext, GlContext context) {
  if (display == nullptr || !haveGlx) return 0;
  if (context == nullptr) return glXMakeCurrent(display, None, nullptr) ? 1 : 0;
  if (deviceContext == nullptr || !context->alive) return 0;
  return glXMakeCurrent(display, deviceContext->window->xWindow, context->context) ? 1 : 0;
}

int deleteGlContext(GlContext context) {
  if (context == nullptr || !context->alive || display == nullptr) return 0;
  if (glXGetCurrentContext() == context->context) glXMakeCurrent(display, None, nullptr);
  glXDestroyContext(display, context->context);
  context->alive = false;
  return 1;
}

int swapBuffers(DeviceContext deviceContext) {
  if (deviceContext == nullptr || !deviceContext->window->alive || display == nullptr || !haveGlx) return 0;
  // Only a window with a context current on it has buffers to swap.
  if (glXGetCurrentDrawable() != deviceContext->window->xWindow) return 0;
#ifdef ORRELIA_CHECKED_BUILD
  checkFrame(programName);
#endif
  glXSwapBuffers(display, deviceContext->window->xWindow);
  return 1;
}
