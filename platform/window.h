// Windows, per-window message queues and the window procedure.
//
// The viewer is written against the small set of window services it needs:
// a class with a window procedure, windows created with a style, a queue per
// window into which anyone may post, a non-blocking fetch filtered to one
// window, a blocking wait, and dispatch to the window procedure. Message ids,
// key codes and size codes are the classic desktop values, so the logic that
// drives the window reads the same on every backend.
//
// Two implementations share this header: the real one on SDL2 (platform_sdl)
// and a scripted one for tests (platform_fake).
#pragma once

#include <cstdint>

struct PlatformWindow;
using WindowHandle = PlatformWindow*;

using WindowProc = intptr_t (*)(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Message ids.
constexpr uint32_t WM_CREATE = 0x0001;
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr uint32_t WM_SYSKEYUP = 0x0105;
constexpr uint32_t WM_SYSCOMMAND = 0x0112;
constexpr uint32_t WM_TIMER = 0x0113;
constexpr uint32_t WM_USER = 0x0400;

// WM_SIZE wParam values; lParam carries the client width (low 16 bits) and
// height (high 16 bits).
constexpr uintptr_t SIZE_RESTORED = 0;
constexpr uintptr_t SIZE_MINIMIZED = 1;
constexpr uintptr_t SIZE_MAXIMIZED = 2;
constexpr uintptr_t SIZE_MAXSHOW = 3;
constexpr uintptr_t SIZE_MAXHIDE = 4;

// WM_SYSCOMMAND wParam values. Before the desktop starts its screen saver or
// powers the monitor down it asks the focused window with these; a window
// procedure that answers without the default handling refuses.
constexpr uintptr_t SC_CLOSE = 0xF060;
constexpr uintptr_t SC_SCREENSAVE = 0xF140;
constexpr uintptr_t SC_MONITORPOWER = 0xF170;

// Virtual-key codes (wParam of WM_KEYDOWN / WM_KEYUP). Keys without a code
// arrive with a value above 255.
constexpr uintptr_t VK_BACK = 0x08;
constexpr uintptr_t VK_TAB = 0x09;
constexpr uintptr_t VK_RETURN = 0x0D;
constexpr uintptr_t VK_SHIFT = 0x10;
constexpr uintptr_t VK_CONTROL = 0x11;
constexpr uintptr_t VK_MENU = 0x12;
constexpr uintptr_t VK_PAUSE = 0x13;
constexpr uintptr_t VK_CAPITAL = 0x14;
constexpr uintptr_t VK_ESCAPE = 0x1B;
constexpr uintptr_t VK_SPACE = 0x20;
constexpr uintptr_t VK_PRIOR = 0x21;
constexpr uintptr_t VK_NEXT = 0x22;
constexpr uintptr_t VK_END = 0x23;
constexpr uintptr_t VK_HOME = 0x24;
constexpr uintptr_t VK_LEFT = 0x25;
constexpr uintptr_t VK_UP = 0x26;
constexpr uintptr_t VK_RIGHT = 0x27;
constexpr uintptr_t VK_DOWN = 0x28;
constexpr uintptr_t VK_INSERT = 0x2D;
constexpr uintptr_t VK_DELETE = 0x2E;
constexpr uintptr_t VK_NUMPAD0 = 0x60;
constexpr uintptr_t VK_F1 = 0x70;
constexpr uintptr_t VK_F10 = 0x79;
constexpr uintptr_t VK_F24 = 0x87;
constexpr uintptr_t VK_NUMLOCK = 0x90;
constexpr uintptr_t VK_SCROLL = 0x91;
constexpr uintptr_t VK_NO_CODE_BASE = 0x100;

// Window styles.
constexpr uint32_t WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr uint32_t WS_POPUP = 0x80000000;
constexpr uint32_t WS_EX_TOPMOST = 0x00000008;
constexpr uint32_t WS_EX_APPWINDOW = 0x00040000;

// Class styles.
constexpr uint32_t CS_VREDRAW = 0x0001;
constexpr uint32_t CS_HREDRAW = 0x0002;
constexpr uint32_t CS_OWNDC = 0x0020;

struct WindowRect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

struct WindowClass {
  uint32_t style;
  WindowProc windowProc;
  const char* className;
};

// lParam of WM_CREATE points at this record.
struct CreateStruct {
  void* createParams;
};

struct Message {
  WindowHandle window;
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
};

// Opens the connection to the window system. Returns 1, or 0 after printing
// why to stderr (no display, no video driver).
int startPlatform(const char* programName);
void stopPlatform();

// 1 when the class was registered, 0 when it could not be (already taken,
// table full, bad record).
int registerWindowClass(const WindowClass* windowClass);
int unregisterWindowClass(const char* className);

// Grows a client rectangle to the outer rectangle of a window with these
// styles. X11 window managers put their frames outside the client area, so
// the outer and client rectangles of our windows coincide.
int adjustWindowRect(WindowRect* rect, uint32_t style, uint32_t exStyle);

// Creates a window of a registered class at (x, y) with the given outer size.
// The window procedure receives WM_CREATE (lParam: CreateStruct*) and a
// WM_SIZE with the client size before this returns. The window stays hidden
// until showWindow. Returns 0 on failure.
WindowHandle createWindow(uint32_t exStyle, const char* className, const char* title, uint32_t style, int32_t x, int32_t y,
                          int32_t width, int32_t height, void* createParams);
// Sends WM_DESTROY, releases the window and drops its queued messages.
int destroyWindow(WindowHandle window);
// Shows and raises the window; the procedure receives WM_SIZE with the
// client size it got.
int showWindow(WindowHandle window);
int getClientRect(WindowHandle window, WindowRect* rect);

void setWindowUserData(WindowHandle window, void* data);
void* getWindowUserData(WindowHandle window);

// Queues a message for the window. 0 when the window does not exist or its
// queue is full.
int postMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Takes the next message for this window off its queue without waiting:
// posted messages first, then input from the window system. 1 when a message
// was taken.
int peekMessage(Message* message, WindowHandle window);
// Blocks until a new message is queued for any window.
void waitMessage();
intptr_t dispatchMessage(const Message* message);
intptr_t defWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Display counter of the mouse cursor, as a stack of show/hide requests: the
// cursor shows while the counter is 0 or more. Returns the new counter.
int showCursor(int show);
