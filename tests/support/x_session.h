// Runs real programs in a private X server (Xvfb) and drives them the way a
// user would: finds their windows, types keys through XTest, closes windows,
// reads geometry and pixels, and collects exit codes.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

struct XWindowInfo {
  unsigned long id;
  int x, y;  // relative to the root window
  int width, height;
};

struct Pixel {
  int r, g, b;
};

struct Screenshot {
  int width = 0;
  int height = 0;
  std::vector<Pixel> pixels;  // top row first
  Pixel at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Starts Xvfb with one screen of this size; with `add640x480` the server also
// offers a 640 x 480 mode for full-screen switches. Sets DISPLAY for this
// process and the programs it starts. Returns false when no server starts.
// `serverOptions` go to Xvfb as they are (e.g. "-extension", "GLX").
bool startXServer(const char* screen = "1280x1024x24", bool add640x480 = false,
                  const std::vector<std::string>& serverOptions = {});
void stopXServer();
// Kills the server with SIGKILL, as a crashing X server goes, after closing
// this process's own connection.
void killXServer();

// Starts a program in its own process group. Extra environment entries are
// "NAME=value"; "NAME=" with nothing after removes NAME. With an output path,
// the program's stdout and stderr go to that file.
pid_t startProgram(const std::string& path, const std::vector<std::string>& arguments,
                   const std::vector<std::string>& environment = {}, const std::string& outputPath = "");
// The exit status, 128 + signal for a killed program, or -1 when it has not
// ended in time (it is then killed with its group).
int waitForExit(pid_t pid, int timeoutMilliseconds);
void killProgramGroup(pid_t pid);

// The first top-level window (searched recursively) whose name is `name`, or
// 0 when none appears in time.
unsigned long waitForWindow(const std::string& name, int timeoutMilliseconds);
bool windowExists(unsigned long window);
XWindowInfo windowInfo(unsigned long window);
void screenSize(int* width, int* height);
bool waitForScreenSize(int width, int height, int timeoutMilliseconds);
void focusWindow(unsigned long window);
// Waits until the window holds the keyboard focus.
bool waitForFocus(unsigned long window, int timeoutMilliseconds);
// Focuses the window and types one key (an X keysym name such as "Escape").
void typeKey(unsigned long window, const char* keysymName);
// Asks the window to close as its close box would (WM_DELETE_WINDOW).
void closeWindow(unsigned long window);
Screenshot takeScreenshot(unsigned long window);
// Counts the pixels that are not black.
int countLitPixels(const Screenshot& shot);
// A plain mapped top-level window of the test's own, standing in for a
// desktop's preview pane or xscreensaver's window.
unsigned long createHostWindow(int width, int height);
void destroyHostWindow(unsigned long window);
// Puts the pointer at a place on the screen, or moves it by an offset.
void warpPointer(int x, int y);
void movePointerBy(int dx, int dy);
// The number of children of the root window (mapped or not).
int countTopLevelWindows();
bool writePpm(const Screenshot& shot, const std::string& path);
// The resident set of a running process in KiB, -1 when it cannot be read.
long residentKilobytes(pid_t pid);
std::string readTextFile(const std::string& path);
// Pixels whose channels differ by more than `threshold` in sum; -1 when the
// sizes differ.
int countDifferingPixels(const Screenshot& first, const Screenshot& second, int threshold);
