#include "platform/fake/fake_platform.h"

#include <GL/gl.h>

#include <cstring>
#include <deque>
#include <initializer_list>

#include "platform/clock.h"
#include "platform/display_mode.h"
#include "platform/gl_context.h"
#include "platform/headless_gl.h"
#include "platform/message_box.h"

struct PlatformDeviceContext {
  PlatformWindow* window;
};

struct PlatformWindow {
  int index;  // into fakeWindows()
  WindowProc windowProc;
  void* userData;
  bool alive;
  int pixelFormat;
  PlatformDeviceContext deviceContext;
  bool refusesScreenSaver;
  bool defaultHandledSyscommand;
};

struct PlatformGlContext {
  bool alive;
  bool current;
};

namespace {

constexpr int frameLimit = 100000;
constexpr int waitLimit = 1000;

struct FakeClass {
  std::string name;
  WindowProc windowProc;
};

struct State {
  uint32_t clock = 0;
  uint32_t clockStep = 0;
  std::deque<int> answers;
  std::vector<std::pair<FakeStep, int>> failures;
  int stepCalls[8] = {};
  bool displayHasMode = true;
  FakeHook frameHook = nullptr;
  FakeHook waitHook = nullptr;
  std::vector<FakeClass> classes;
  std::deque<PlatformWindow> windows;  // stable addresses
  std::deque<PlatformGlContext> contexts;
  std::vector<FakeWindow> windowRecords;
  std::vector<FakeMessageBox> boxes;
  std::deque<Message> posted;
  std::deque<Message> input;
  std::vector<std::string> log;
  int frames = 0;
  int waits = 0;
  int cursor = 0;
  bool switched = false;
  bool ranAway = false;
  bool headlessOpen = false;
};

State state;

bool failsNow(FakeStep step) {
  const int call = ++state.stepCalls[static_cast<int>(step)];
  for (const auto& failure : state.failures) {
    if (failure.first == step && failure.second == call) return true;
  }
  return false;
}

bool isLive(WindowHandle window) { return window != nullptr && window->alive; }

intptr_t sizeParameter(int width, int height) {
  return static_cast<intptr_t>((static_cast<uint32_t>(height & 0xFFFF) << 16) | static_cast<uint32_t>(width & 0xFFFF));
}

bool takeFrom(std::deque<Message>& queue, WindowHandle window, Message* message) {
  for (auto it = queue.begin(); it != queue.end(); ++it) {
    if (window != nullptr && it->window != window) continue;
    *message = *it;
    queue.erase(it);
    return true;
  }
  return false;
}

void dropFor(std::deque<Message>& queue, WindowHandle window) {
  for (auto it = queue.begin(); it != queue.end();) it = it->window == window ? queue.erase(it) : it + 1;
}

WindowHandle newestLiveWindow() {
  for (auto it = state.windows.rbegin(); it != state.windows.rend(); ++it) {
    if (it->alive) return &*it;
  }
  return nullptr;
}

// A program that never stops on its own must not hang the test run: past the
// limits every window is asked to close.
void runAway() {
  state.ranAway = true;
  for (PlatformWindow& window : state.windows) {
    if (window.alive) state.input.push_back(Message{&window, WM_CLOSE, 0, 0});
  }
}

}  // namespace

void resetFakePlatform() {
  if (state.headlessOpen) closeHeadlessGl();
  state = State{};
}
void setFakeClock(uint32_t milliseconds) { state.clock = milliseconds; }
void setFakeClockStep(uint32_t millisecondsPerFrame) { state.clockStep = millisecondsPerFrame; }
void queueFakeMessageBoxAnswer(int answer) { state.answers.push_back(answer); }
void failFakeStepOnCall(FakeStep step, int call) { state.failures.emplace_back(step, call); }
void setFakeDisplayHasMode(bool hasMode) { state.displayHasMode = hasMode; }
void setFakeFrameHook(FakeHook hook) { state.frameHook = hook; }
void setFakeWaitHook(FakeHook hook) { state.waitHook = hook; }

void postFakeInput(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  WindowHandle window = newestLiveWindow();
  if (window != nullptr) state.input.push_back(Message{window, message, wParam, lParam});
}

const std::vector<FakeMessageBox>& fakeMessageBoxes() { return state.boxes; }
const std::vector<FakeWindow>& fakeWindows() { return state.windowRecords; }
int fakeFrameCount() { return state.frames; }
int fakeCursorCounter() { return state.cursor; }
bool fakeDisplaySwitched() { return state.switched; }
int fakeLiveGlContexts() {
  int live = 0;
  for (const PlatformGlContext& context : state.contexts) live += context.alive ? 1 : 0;
  return live;
}
bool fakeScreenSaverRefused() {
  for (const PlatformWindow& window : state.windows) {
    if (window.alive && window.refusesScreenSaver) return true;
  }
  return false;
}
bool fakeRanAway() { return state.ranAway; }
const std::vector<std::string>& fakeCallLog() { return state.log; }

// --- platform/clock.h

uint32_t readMillisecondClock() { return state.clock; }

// --- platform/message_box.h

int showMessageBox(const char* text, const char* caption, uint32_t type) {
  state.log.push_back("showMessageBox");
  state.boxes.push_back(FakeMessageBox{text, caption, type});
  if (state.answers.empty()) return 0;
  const int answer = state.answers.front();
  state.answers.pop_front();
  return answer;
}

// --- platform/display_mode.h

long changeDisplaySettings(const DisplayMode* mode, uint32_t flags) {
  if (mode == nullptr) {
    state.log.push_back("restoreDisplayMode");
    state.switched = false;
    return DISP_CHANGE_SUCCESSFUL;
  }
  state.log.push_back("changeDisplayMode");
  if ((flags & CDS_FULLSCREEN) == 0 || !state.displayHasMode || failsNow(FakeStep::displayMode))
    return DISP_CHANGE_BADMODE;
  state.switched = true;
  return DISP_CHANGE_SUCCESSFUL;
}

// --- platform/window.h

int startPlatform(const char*) { return 1; }
void stopPlatform() {}

int registerWindowClass(const WindowClass* windowClass) {
  state.log.push_back("registerWindowClass");
  if (failsNow(FakeStep::registerClass) || windowClass == nullptr) return 0;
  for (const FakeClass& existing : state.classes) {
    if (existing.name == windowClass->className) return 0;
  }
  state.classes.push_back(FakeClass{windowClass->className, windowClass->windowProc});
  return 1;
}

int unregisterWindowClass(const char* className) {
  state.log.push_back("unregisterWindowClass");
  for (auto it = state.classes.begin(); it != state.classes.end(); ++it) {
    if (it->name == className) {
      state.classes.erase(it);
      return 1;
    }
  }
  return 0;
}

int adjustWindowRect(WindowRect* rect, uint32_t, uint32_t) { return rect != nullptr ? 1 : 0; }

WindowHandle createWindow(uint32_t exStyle, const char* className, const char* title, uint32_t style, int32_t x,
                          int32_t y, int32_t width, int32_t height, void* createParams) {
  state.log.push_back("createWindow");
  const FakeClass* windowClass = nullptr;
  for (const FakeClass& entry : state.classes) {
    if (entry.name == className) windowClass = &entry;
  }
  if (windowClass == nullptr || failsNow(FakeStep::createWindow)) return nullptr;
  state.windowRecords.push_back(FakeWindow{exStyle, style, className, title, x, y, width, height, true, false});
  state.windows.push_back(PlatformWindow{});
  PlatformWindow* window = &state.windows.back();
  window->index = static_cast<int>(state.windowRecords.size()) - 1;
  window->windowProc = windowClass->windowProc;
  window->alive = true;
  window->deviceContext.window = window;
  CreateStruct creation{createParams};
  window->windowProc(window, WM_CREATE, 0, reinterpret_cast<intptr_t>(&creation));
  window->windowProc(window, WM_SIZE, SIZE_RESTORED, sizeParameter(width, height));
  return window;
}

int destroyWindow(WindowHandle window) {
  state.log.push_back("destroyWindow");
  if (!isLive(window)) return 0;
  window->windowProc(window, WM_DESTROY, 0, 0);
  window->alive = false;
  state.windowRecords[window->index].alive = false;
  dropFor(state.posted, window);
  dropFor(state.input, window);
  return 1;
}

int showWindow(WindowHandle window) {
  state.log.push_back("showWindow");
  if (!isLive(window)) return 0;
  FakeWindow& record = state.windowRecords[window->index];
  record.shown = true;
  window->windowProc(window, WM_SIZE, SIZE_RESTORED, sizeParameter(record.width, record.height));
  bool refused = false;
  for (uintptr_t command : {SC_SCREENSAVE, SC_MONITORPOWER}) {
    window->defaultHandledSyscommand = false;
    window->windowProc(window, WM_SYSCOMMAND, command, 0);
    refused = refused || !window->defaultHandledSyscommand;
  }
  window->refusesScreenSaver = refused;
  return 1;
}

int getClientRect(WindowHandle window, WindowRect* rect) {
  if (!isLive(window) || rect == nullptr) return 0;
  const FakeWindow& record = state.windowRecords[window->index];
  *rect = WindowRect{0, 0, record.width, record.height};
  return 1;
}

void setWindowUserData(WindowHandle window, void* data) {
  if (isLive(window)) window->userData = data;
}
void* getWindowUserData(WindowHandle window) { return isLive(window) ? window->userData : nullptr; }

int postMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (!isLive(window)) return 0;
  state.posted.push_back(Message{window, message, wParam, lParam});
  return 1;
}

int peekMessage(Message* message, WindowHandle window) {
  if (takeFrom(state.posted, window, message)) return 1;
  return takeFrom(state.input, window, message) ? 1 : 0;
}

void waitMessage() {
  state.log.push_back("waitMessage");
  if (!state.posted.empty() || !state.input.empty()) return;
  ++state.waits;
  if (state.waitHook != nullptr && state.waits <= waitLimit) state.waitHook(state.waits);
  if (state.posted.empty() && state.input.empty()) runAway();
}

intptr_t dispatchMessage(const Message* message) {
  if (message == nullptr || !isLive(message->window)) return 0;
  return message->window->windowProc(message->window, message->message, message->wParam, message->lParam);
}

intptr_t defWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t) {
  if (!isLive(window)) return 0;
  if (message == WM_SYSCOMMAND) {
    if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) window->defaultHandledSyscommand = true;
    if (wParam == SC_CLOSE) window->windowProc(window, WM_CLOSE, 0, 0);
  } else if (message == WM_CLOSE) {
    destroyWindow(window);
  }
  return 0;
}

int showCursor(int show) {
  state.cursor += show ? 1 : -1;
  return state.cursor;
}

// --- platform/gl_context.h

DeviceContext getDeviceContext(WindowHandle window) {
  state.log.push_back("getDeviceContext");
  if (!isLive(window) || failsNow(FakeStep::getDeviceContext)) return nullptr;
  return &window->deviceContext;
}

int releaseDeviceContext(WindowHandle window, DeviceContext deviceContext) {
  state.log.push_back("releaseDeviceContext");
  return isLive(window) && deviceContext == &window->deviceContext ? 1 : 0;
}

int choosePixelFormat(DeviceContext deviceContext, const PixelFormatDescriptor* request) {
  state.log.push_back("choosePixelFormat");
  if (deviceContext == nullptr || request == nullptr || failsNow(FakeStep::choosePixelFormat)) return 0;
  return 1;
}

int describePixelFormat(DeviceContext deviceContext, int index, uint32_t, PixelFormatDescriptor* description) {
  if (deviceContext == nullptr || index != 1) return 0;
  if (description != nullptr) {
    *description = PixelFormatDescriptor{40, 1, PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,
                                         PFD_TYPE_RGBA, 24, 0, 24, 0, PFD_MAIN_PLANE};
  }
  return 1;
}

int setPixelFormat(DeviceContext deviceContext, int index, const PixelFormatDescriptor* request) {
  state.log.push_back("setPixelFormat");
  if (deviceContext == nullptr || request == nullptr || index != 1 || failsNow(FakeStep::setPixelFormat)) return 0;
  if (deviceContext->window->pixelFormat != 0) return 0;
  deviceContext->window->pixelFormat = index;
  return 1;
}

GlContext createGlContext(DeviceContext deviceContext) {
  state.log.push_back("createGlContext");
  if (deviceContext == nullptr || failsNow(FakeStep::createGlContext)) return nullptr;
  state.contexts.push_back(PlatformGlContext{true, false});
  return &state.contexts.back();
}

int makeGlContextCurrent(DeviceContext deviceContext, GlContext context) {
  state.log.push_back(context != nullptr ? "makeCurrent" : "makeNoneCurrent");
  if (context == nullptr) {
    for (PlatformGlContext& each : state.contexts) each.current = false;
    if (state.headlessOpen) closeHeadlessGl();
    state.headlessOpen = false;
    return 1;
  }
  if (deviceContext == nullptr || !context->alive || failsNow(FakeStep::makeCurrent)) return 0;
  // One real headless context stands in for whichever fake context is current.
  if (!state.headlessOpen) {
    const FakeWindow& record = state.windowRecords[deviceContext->window->index];
    state.headlessOpen = openHeadlessGl(record.width, record.height);
  }
  context->current = true;
  return 1;
}

int deleteGlContext(GlContext context) {
  state.log.push_back("deleteGlContext");
  if (context == nullptr || !context->alive) return 0;
  if (context->current && state.headlessOpen) {
    closeHeadlessGl();
    state.headlessOpen = false;
  }
  context->alive = false;
  context->current = false;
  return 1;
}

int swapBuffers(DeviceContext deviceContext) {
  state.log.push_back("swapBuffers");
  if (deviceContext == nullptr) return 0;
  glFinish();
  ++state.frames;
  state.clock += state.clockStep;
  if (state.frameHook != nullptr) state.frameHook(state.frames);
  if (state.frames >= frameLimit) runAway();
  return 1;
}
