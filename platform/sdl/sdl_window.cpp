// Windows, message queues, GL contexts, display modes and the cursor on SDL2.
//
// X11 fixes a window's visual when the window is made, and a GL pixel format
// is chosen only after the window exists. So a window here is first a record
// (class, style, title, size, procedure) that already receives its messages,
// and the SDL window behind it is made when its pixel format is set.

#include <SDL.h>
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "platform/checked_frames.h"
#include "platform/display_mode.h"
#include "platform/gl_context.h"
#include "platform/sdl/sdl_keys.h"
#include "platform/window.h"

struct PlatformDeviceContext {
  PlatformWindow* window;
};

struct PlatformWindow {
  bool inUse;
  WindowProc windowProc;
  uint32_t style;
  uint32_t exStyle;
  int32_t x, y, width, height;
  char title[128];
  void* userData;
  SDL_Window* sdlWindow;
  PlatformDeviceContext deviceContext;
  int pixelFormat;
  bool holdsDisplayMode;    // made full screen with a switched display mode
  bool refusesScreenSaver;  // the procedure refused the screen saver or monitor power-down
  bool defaultHandledSyscommand;
};

struct PlatformGlContext {
  bool inUse;
  SDL_GLContext sdlContext;
  PlatformWindow* window;
};

namespace {

constexpr int maxClasses = 4;
constexpr int maxWindows = 4;
constexpr int maxGlContexts = 4;
constexpr int queueCapacity = 256;

struct RegisteredClass {
  bool inUse;
  char name[64];
  WindowProc windowProc;
};

RegisteredClass classes[maxClasses];
PlatformWindow windows[maxWindows];
PlatformGlContext glContexts[maxGlContexts];

// A fixed ring of messages; posted and input messages have one ring each, so
// posted messages are taken first, as a desktop queue does.
struct MessageRing {
  Message entries[queueCapacity];
  int first;
  int count;
};
MessageRing postedMessages;
MessageRing inputMessages;

// Keys held down while one of our windows went away. When the next window
// takes the focus, SDL reports such keys as newly pressed; a desktop would
// not, until the key repeats, so those presses are dropped.
bool heldAcrossWindows[SDL_NUM_SCANCODES];

int cursorCounter = 0;
bool displayModePending = false;
SDL_DisplayMode pendingDisplayMode;
bool platformStarted = false;
const char* platformProgramName = "program";


bool pushMessage(MessageRing& ring, const Message& message) {
  if (ring.count == queueCapacity) return false;
  ring.entries[(ring.first + ring.count) % queueCapacity] = message;
  ++ring.count;
  return true;
}

// Removes the first message for `window` (any window when null).
bool takeMessage(MessageRing& ring, WindowHandle window, Message* message) {
  for (int i = 0; i < ring.count; ++i) {
    const int index = (ring.first + i) % queueCapacity;
    if (window != nullptr && ring.entries[index].window != window) continue;
    *message = ring.entries[index];
    for (int j = i; j > 0; --j) {
      ring.entries[(ring.first + j) % queueCapacity] = ring.entries[(ring.first + j - 1) % queueCapacity];
    }
    ring.first = (ring.first + 1) % queueCapacity;
    --ring.count;
    return true;
  }
  return false;
}

void dropMessagesFor(MessageRing& ring, WindowHandle window) {
  Message kept[queueCapacity];
  int keptCount = 0;
  for (int i = 0; i < ring.count; ++i) {
    const Message& message = ring.entries[(ring.first + i) % queueCapacity];
    if (message.window != window) kept[keptCount++] = message;
  }
  std::memcpy(ring.entries, kept, sizeof(Message) * keptCount);
  ring.first = 0;
  ring.count = keptCount;
}

bool isLive(WindowHandle window) {
  return window != nullptr && window >= windows && window < windows + maxWindows && window->inUse;
}

WindowHandle windowOfSdlId(Uint32 id) {
  for (PlatformWindow& window : windows) {
    if (window.inUse && window.sdlWindow != nullptr && SDL_GetWindowID(window.sdlWindow) == id) return &window;
  }
  return nullptr;
}

// The X server sends keys only to the focused window, but SDL takes about
// 200 ms to note a new focus and reports the keys of that time with no
// window. With one window of ours there is no doubt where they belong.
WindowHandle windowOfKeyEvent(Uint32 id) {
  if (id != 0) return windowOfSdlId(id);
  WindowHandle only = nullptr;
  for (PlatformWindow& window : windows) {
    if (!window.inUse || window.sdlWindow == nullptr) continue;
    if (only != nullptr) return nullptr;
    only = &window;
  }
  return only;
}

intptr_t sizeParameter(int width, int height) {
  return static_cast<intptr_t>((static_cast<uint32_t>(height & 0xFFFF) << 16) | static_cast<uint32_t>(width & 0xFFFF));
}

intptr_t sendMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return window->windowProc(window, message, wParam, lParam);
}

void queueInput(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (window != nullptr) pushMessage(inputMessages, Message{window, message, wParam, lParam});
}

void queueSdlEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:
      // SIGINT and SIGTERM: every window is asked to close, as by its close box.
      for (PlatformWindow& window : windows) {
        if (window.inUse) queueInput(&window, WM_CLOSE, 0, 0);
      }
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const bool down = event.type == SDL_KEYDOWN;
      const SDL_Scancode scancode = event.key.keysym.scancode;
      WindowHandle target = windowOfKeyEvent(event.key.windowID);
      if (down && event.key.repeat == 0 && heldAcrossWindows[scancode]) break;
      // A release ends the hold whichever window SDL reports it for: the
      // release of a key held across a rebuild may name the window that went.
      if (!down) heldAcrossWindows[scancode] = false;
      const bool system = isSystemKey(event.key.keysym);
      const uint32_t message = system ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
      queueInput(target, message, virtualKeyFromSdl(event.key.keysym), 0);
      break;
    }
    case SDL_WINDOWEVENT: {
      WindowHandle window = windowOfSdlId(event.window.windowID);
      if (window == nullptr) break;
      int width = 0;
      int height = 0;
      SDL_GetWindowSize(window->sdlWindow, &width, &height);
      switch (event.window.event) {
        case SDL_WINDOWEVENT_MINIMIZED:
          queueInput(window, WM_SIZE, SIZE_MINIMIZED, 0);
          break;
        case SDL_WINDOWEVENT_MAXIMIZED:
          queueInput(window, WM_SIZE, SIZE_MAXIMIZED, sizeParameter(width, height));
          break;
        case SDL_WINDOWEVENT_RESTORED:
          queueInput(window, WM_SIZE, SIZE_RESTORED, sizeParameter(width, height));
          break;
        case SDL_WINDOWEVENT_SIZE_CHANGED: {
          const bool maximized = (SDL_GetWindowFlags(window->sdlWindow) & SDL_WINDOW_MAXIMIZED) != 0;
          queueInput(window, WM_SIZE, maximized ? SIZE_MAXIMIZED : SIZE_RESTORED,
                     sizeParameter(event.window.data1, event.window.data2));
          break;
        }
        case SDL_WINDOWEVENT_CLOSE:
          queueInput(window, WM_SYSCOMMAND, SC_CLOSE, 0);
          break;
        default:
          break;
      }
      break;
    }
    default:
      break;
  }
}

void pumpSdlEvents() {
  SDL_Event event;
  while (SDL_PollEvent(&event)) queueSdlEvent(event);
}

// The screen saver and monitor power-down stay off while any window refuses them.
void updateScreenSaver() {
  bool refused = false;
  for (const PlatformWindow& window : windows) refused = refused || (window.inUse && window.refusesScreenSaver);
  if (refused) {
    SDL_DisableScreenSaver();
  } else {
    SDL_EnableScreenSaver();
  }
}

// Asks the window whether the desktop may start its screen saver or power the
// monitor down; a procedure that answers without the default handling refuses.
void askAboutScreenSaver(WindowHandle window) {
  bool refused = false;
  for (uintptr_t command : {SC_SCREENSAVE, SC_MONITORPOWER}) {
    window->defaultHandledSyscommand = false;
    sendMessage(window, WM_SYSCOMMAND, command, 0);
    refused = refused || !window->defaultHandledSyscommand;
  }
  window->refusesScreenSaver = refused;
  updateScreenSaver();
}

bool realizeWindow(WindowHandle window, const PixelFormatDescriptor& request) {
  SDL_GL_ResetAttributes();
  const int channelBits = request.colorBits >= 24 ? 8 : request.colorBits / 3;
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channelBits);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, channelBits);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channelBits);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, request.alphaBits);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, request.depthBits);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, request.stencilBits);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, (request.flags & PFD_DOUBLEBUFFER) != 0 ? 1 : 0);

  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
  const bool popup = (window->style & WS_POPUP) != 0;
  if (popup) {
    flags |= SDL_WINDOW_BORDERLESS;
    if (displayModePending) flags |= SDL_WINDOW_FULLSCREEN;
  } else {
    flags |= SDL_WINDOW_RESIZABLE;
  }
  if ((window->exStyle & WS_EX_TOPMOST) != 0) flags |= SDL_WINDOW_ALWAYS_ON_TOP;

  window->sdlWindow = SDL_CreateWindow(window->title, window->x, window->y, window->width, window->height, flags);
  if (window->sdlWindow == nullptr) {
    std::fprintf(stderr, "%s: cannot create a GL window: %s\n", platformProgramName, SDL_GetError());
    return false;
  }
  if (popup && displayModePending) {
    SDL_SetWindowDisplayMode(window->sdlWindow, &pendingDisplayMode);
    window->holdsDisplayMode = true;
    displayModePending = false;
  }
  return true;
}

// A lost X server: say so and end at once. Xlib's own handler calls exit(),
// whose clean-up would go on talking to the dead connection.
int onLostDisplay(Display*) {
  std::fprintf(stderr, "%s: lost the connection to the X display\n", platformProgramName);
  std::fflush(stderr);
  _exit(1);
}

// SDL loads Xlib at run time; the handler is set in the copy it loaded.
void catchLostDisplay() {
  void* xlib = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
  if (xlib == nullptr) return;
  using SetHandler = XIOErrorHandler (*)(XIOErrorHandler);
  const auto setHandler = reinterpret_cast<SetHandler>(dlsym(xlib, "XSetIOErrorHandler"));
  if (setHandler != nullptr) setHandler(onLostDisplay);
  dlclose(xlib);
}

}  // namespace

int startPlatform(const char* programName) {
  if (platformStarted) return 1;
  platformProgramName = programName;
  // Closing the last window must not end the program on its own: the window
  // procedure decides. The screen saver is refused per window, not by SDL.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "0");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "%s: cannot open the display: %s\n", programName, SDL_GetError());
    return 0;
  }
  // Without a display SDL falls back to drivers that show nothing; a desktop
  // program has no use for them unless they were asked for by name.
  const char* driver = SDL_GetCurrentVideoDriver();
  if (SDL_getenv("SDL_VIDEODRIVER") == nullptr && driver != nullptr && std::strcmp(driver, "x11") != 0 &&
      std::strcmp(driver, "wayland") != 0) {
    std::fprintf(stderr, "%s: cannot open the display: no X11 or Wayland display (is DISPLAY set?)\n", programName);
    SDL_Quit();
    return 0;
  }
  if (driver != nullptr && std::strcmp(driver, "x11") == 0) catchLostDisplay();
  platformStarted = true;
  return 1;
}

void stopPlatform() {
  if (!platformStarted) return;
  for (PlatformWindow& window : windows) {
    if (window.inUse) destroyWindow(&window);
  }
  SDL_Quit();
  platformStarted = false;
#ifdef ORRELIA_CHECKED_BUILD
  reportCheckedFrames(platformProgramName);
#endif
}

int registerWindowClass(const WindowClass* windowClass) {
  if (windowClass == nullptr || windowClass->className == nullptr || windowClass->windowProc == nullptr ||
      std::strlen(windowClass->className) >= sizeof(RegisteredClass::name))
    return 0;
  RegisteredClass* free = nullptr;
  for (RegisteredClass& entry : classes) {
    if (entry.inUse && std::strcmp(entry.name, windowClass->className) == 0) return 0;
    if (!entry.inUse && free == nullptr) free = &entry;
  }
  if (free == nullptr) return 0;
  free->inUse = true;
  std::strcpy(free->name, windowClass->className);
  free->windowProc = windowClass->windowProc;
  return 1;
}

int unregisterWindowClass(const char* className) {
  for (RegisteredClass& entry : classes) {
    if (entry.inUse && std::strcmp(entry.name, className) == 0) {
      entry.inUse = false;
      return 1;
    }
  }
  return 0;
}

int adjustWindowRect(WindowRect* rect, uint32_t, uint32_t) { return rect != nullptr ? 1 : 0; }

WindowHandle createWindow(uint32_t exStyle, const char* className, const char* title, uint32_t style, int32_t x,
                          int32_t y, int32_t width, int32_t height, void* createParams) {
  const RegisteredClass* windowClass = nullptr;
  for (const RegisteredClass& entry : classes) {
    if (entry.inUse && className != nullptr && std::strcmp(entry.name, className) == 0) windowClass = &entry;
  }
  if (windowClass == nullptr || width <= 0 || height <= 0) return nullptr;
  WindowHandle window = nullptr;
  for (PlatformWindow& candidate : windows) {
    if (!candidate.inUse) {
      window = &candidate;
      break;
    }
  }
  if (window == nullptr) return nullptr;

  *window = PlatformWindow{};
  window->inUse = true;
  window->windowProc = windowClass->windowProc;
  window->style = style;
  window->exStyle = exStyle;
  window->x = x;
  window->y = y;
  window->width = width;
  window->height = height;
  std::snprintf(window->title, sizeof(window->title), "%s", title != nullptr ? title : "");
  window->deviceContext.window = window;

  CreateStruct creation{createParams};
  if (sendMessage(window, WM_CREATE, 0, reinterpret_cast<intptr_t>(&creation)) == -1) {
    window->inUse = false;
    return nullptr;
  }
  sendMessage(window, WM_SIZE, SIZE_RESTORED, sizeParameter(width, height));
  return window;
}

int destroyWindow(WindowHandle window) {
  if (!isLive(window)) return 0;
  sendMessage(window, WM_DESTROY, 0, 0);
  for (PlatformGlContext& context : glContexts) {
    if (context.inUse && context.window == window) context.window = nullptr;
  }
  if (window->sdlWindow != nullptr) {
    int keyCount = 0;
    const Uint8* keys = SDL_GetKeyboardState(&keyCount);
    for (int i = 0; i < keyCount && i < SDL_NUM_SCANCODES; ++i) heldAcrossWindows[i] = heldAcrossWindows[i] || keys[i] != 0;
    SDL_DestroyWindow(window->sdlWindow);  // also gives back a switched display mode
  }
  dropMessagesFor(postedMessages, window);
  dropMessagesFor(inputMessages, window);
  window->inUse = false;
  window->sdlWindow = nullptr;
  updateScreenSaver();
  return 1;
}

int showWindow(WindowHandle window) {
  if (!isLive(window)) return 0;
  if (window->sdlWindow != nullptr) {
    SDL_ShowWindow(window->sdlWindow);
    SDL_RaiseWindow(window->sdlWindow);
    SDL_GetWindowSize(window->sdlWindow, &window->width, &window->height);
  }
  sendMessage(window, WM_SIZE, SIZE_RESTORED, sizeParameter(window->width, window->height));
  askAboutScreenSaver(window);
  return 1;
}

int getClientRect(WindowHandle window, WindowRect* rect) {
  if (!isLive(window) || rect == nullptr) return 0;
  int width = window->width;
  int height = window->height;
  if (window->sdlWindow != nullptr) SDL_GetWindowSize(window->sdlWindow, &width, &height);
  *rect = WindowRect{0, 0, width, height};
  return 1;
}

void setWindowUserData(WindowHandle window, void* data) {
  if (isLive(window)) window->userData = data;
}

void* getWindowUserData(WindowHandle window) { return isLive(window) ? window->userData : nullptr; }

int postMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (!isLive(window)) return 0;
  return pushMessage(postedMessages, Message{window, message, wParam, lParam}) ? 1 : 0;
}

int peekMessage(Message* message, WindowHandle window) {
  if (takeMessage(postedMessages, window, message)) return 1;
  if (takeMessage(inputMessages, window, message)) return 1;
  pumpSdlEvents();
  return takeMessage(inputMessages, window, message) ? 1 : 0;
}

void waitMessage() {
  if (postedMessages.count > 0 || inputMessages.count > 0) return;
  SDL_Event event;
  if (SDL_WaitEvent(&event)) queueSdlEvent(event);
}

intptr_t dispatchMessage(const Message* message) {
  if (message == nullptr || !isLive(message->window)) return 0;
  return sendMessage(message->window, message->message, message->wParam, message->lParam);
}

intptr_t defWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t) {
  if (!isLive(window)) return 0;
  if (message == WM_SYSCOMMAND) {
    if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) window->defaultHandledSyscommand = true;
    if (wParam == SC_CLOSE) sendMessage(window, WM_CLOSE, 0, 0);
  } else if (message == WM_CLOSE) {
    destroyWindow(window);
  }
  return 0;
}

int showCursor(int show) {
  cursorCounter += show ? 1 : -1;
  SDL_ShowCursor(cursorCounter >= 0 ? SDL_ENABLE : SDL_DISABLE);
  return cursorCounter;
}

DeviceContext getDeviceContext(WindowHandle window) { return isLive(window) ? &window->deviceContext : nullptr; }

int releaseDeviceContext(WindowHandle window, DeviceContext deviceContext) {
  return isLive(window) && deviceContext == &window->deviceContext ? 1 : 0;
}

int choosePixelFormat(DeviceContext deviceContext, const PixelFormatDescriptor* request) {
  if (deviceContext == nullptr || !isLive(deviceContext->window) || request == nullptr) return 0;
  if ((request->flags & PFD_SUPPORT_OPENGL) == 0 || request->pixelType != PFD_TYPE_RGBA) return 0;
  return 1;  // the window system grants the closest visual when the window is made
}

int describePixelFormat(DeviceContext deviceContext, int index, uint32_t descriptorSize,
                        PixelFormatDescriptor* description) {
  if (deviceContext == nullptr || !isLive(deviceContext->window) || index != 1) return 0;
  if (description != nullptr && descriptorSize >= 40) {
    PlatformWindow* window = deviceContext->window;
    int red = 0, green = 0, blue = 0, alpha = 0, depth = 0, stencil = 0, doubleBuffer = 0;
    if (window->sdlWindow != nullptr && SDL_GL_GetCurrentWindow() == window->sdlWindow) {
      SDL_GL_GetAttribute(SDL_GL_RED_SIZE, &red);
      SDL_GL_GetAttribute(SDL_GL_GREEN_SIZE, &green);
      SDL_GL_GetAttribute(SDL_GL_BLUE_SIZE, &blue);
      SDL_GL_GetAttribute(SDL_GL_ALPHA_SIZE, &alpha);
      SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depth);
      SDL_GL_GetAttribute(SDL_GL_STENCIL_SIZE, &stencil);
      SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &doubleBuffer);
      description->colorBits = static_cast<uint8_t>(red + green + blue);
      description->alphaBits = static_cast<uint8_t>(alpha);
      description->depthBits = static_cast<uint8_t>(depth);
      description->stencilBits = static_cast<uint8_t>(stencil);
      description->flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | (doubleBuffer ? PFD_DOUBLEBUFFER : 0);
    }
    description->size = 40;
    description->version = 1;
    description->pixelType = PFD_TYPE_RGBA;
    description->layerType = PFD_MAIN_PLANE;
  }
  return 1;
}

int setPixelFormat(DeviceContext deviceContext, int index, const PixelFormatDescriptor* request) {
  if (deviceContext == nullptr || !isLive(deviceContext->window) || index != 1 || request == nullptr) return 0;
  PlatformWindow* window = deviceContext->window;
  if (window->pixelFormat != 0) return 0;  // a window takes one format for its life
  if (!realizeWindow(window, *request)) return 0;
  window->pixelFormat = index;
  return 1;
}

GlContext createGlContext(DeviceContext deviceContext) {
  if (deviceContext == nullptr || !isLive(deviceContext->window) || deviceContext->window->sdlWindow == nullptr)
    return nullptr;
  PlatformGlContext* context = nullptr;
  for (PlatformGlContext& candidate : glContexts) {
    if (!candidate.inUse) {
      context = &candidate;
      break;
    }
  }
  if (context == nullptr) return nullptr;
  SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
  SDL_GLContext previousContext = SDL_GL_GetCurrentContext();
  context->sdlContext = SDL_GL_CreateContext(deviceContext->window->sdlWindow);
  if (context->sdlContext == nullptr) {
    std::fprintf(stderr, "%s: cannot create a GL context: %s\n", platformProgramName, SDL_GetError());
    return nullptr;
  }
  // SDL makes a new context current; creating one must not change what is current.
  SDL_GL_MakeCurrent(previousWindow, previousContext);
  context->inUse = true;
  context->window = deviceContext->window;
  return context;
}

int makeGlContextCurrent(DeviceContext deviceContext, GlContext context) {
  SDL_Window* sdlWindow = nullptr;
  if (deviceContext != nullptr && isLive(deviceContext->window)) sdlWindow = deviceContext->window->sdlWindow;
  if (context == nullptr) return SDL_GL_MakeCurrent(sdlWindow, nullptr) == 0 ? 1 : 0;
  if (sdlWindow == nullptr || !context->inUse) return 0;
  return SDL_GL_MakeCurrent(sdlWindow, context->sdlContext) == 0 ? 1 : 0;
}

int deleteGlContext(GlContext context) {
  if (context == nullptr || !context->inUse) return 0;
  if (SDL_GL_GetCurrentContext() == context->sdlContext) SDL_GL_MakeCurrent(nullptr, nullptr);
  SDL_GL_DeleteContext(context->sdlContext);
  context->inUse = false;
  context->sdlContext = nullptr;
  context->window = nullptr;
  return 1;
}

int swapBuffers(DeviceContext deviceContext) {
  if (deviceContext == nullptr || !isLive(deviceContext->window) || deviceContext->window->sdlWindow == nullptr)
    return 0;
#ifdef ORRELIA_CHECKED_BUILD
  checkFrame(platformProgramName);
#endif
  SDL_GL_SwapWindow(deviceContext->window->sdlWindow);
  return 1;
}

long changeDisplaySettings(const DisplayMode* mode, uint32_t flags) {
  if (mode == nullptr) {
    displayModePending = false;
    for (PlatformWindow& window : windows) {
      if (window.inUse && window.holdsDisplayMode && window.sdlWindow != nullptr) {
        SDL_SetWindowFullscreen(window.sdlWindow, 0);
        window.holdsDisplayMode = false;
      }
    }
    return DISP_CHANGE_SUCCESSFUL;
  }
  if ((flags & CDS_FULLSCREEN) == 0 || (mode->fields & (DM_PELSWIDTH | DM_PELSHEIGHT)) != (DM_PELSWIDTH | DM_PELSHEIGHT))
    return DISP_CHANGE_FAILED;
  // SDL would quietly keep the desktop size for a mode the display lacks, so
  // only an exact match of the size counts as a switch.
  SDL_DisplayMode wanted = {SDL_PIXELFORMAT_UNKNOWN, static_cast<int>(mode->width), static_cast<int>(mode->height), 0,
                            nullptr};
  SDL_DisplayMode closest;
  if (SDL_GetClosestDisplayMode(0, &wanted, &closest) == nullptr || closest.w != wanted.w || closest.h != wanted.h)
    return DISP_CHANGE_BADMODE;
  pendingDisplayMode = closest;
  displayModePending = true;
  return DISP_CHANGE_SUCCESSFUL;
}
