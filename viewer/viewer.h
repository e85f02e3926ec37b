// planet-viewer: the program entry, its window and GL context, and the key
// tests. The entry asks whether to run full screen, then builds the window
// and context, sets the planet scene up and draws frames as fast as it can
// until Esc or a close; F1 rebuilds everything in the other mode.
#pragma once

#include <cstdint>

#include "platform/gl_context.h"
#include "platform/window.h"

struct ViewerApp {
  const char* className;  // "OpenGL"
};

// One flag per virtual-key code: 1 while the key is down. Only the window
// procedure writes it, only checkViewerKeys reads it.
struct KeyState {
  int32_t down[256];
};

struct ViewerWindow {
  KeyState* keys;
  WindowHandle windowHandle;    // 0 when there is no window
  DeviceContext deviceContext;  // 0 when there is none
  GlContext glContext;          // 0 when there is none
  ViewerApp* app;
  const char* title;
  int32_t width;   // client width in a window, display width in full screen
  int32_t height;
  int32_t bitsPerPixel;
  int32_t fullScreen;  // build in full screen; cleared by a build whose mode switch failed
  int32_t visible;     // shown and not minimised
  uint32_t lastTick;   // clock at the last frame, or at the end of the last build
};

constexpr uint32_t toggleMessage = WM_USER + 1;  // the private request to switch modes

// The whole program: returns the exit code, -1 when the window class cannot
// be registered, otherwise 0.
int runViewer();

void requestQuit(ViewerWindow& window);
void requestToggle(ViewerWindow& window);
void checkViewerKeys(ViewerWindow& window, const KeyState& keys);

struct SceneClock;
// The planet scene's angles, which outlive every window the viewer builds.
const SceneClock& viewerClock();

// Flags shared by the entry and the window procedure.
extern int32_t keepRunning;
extern int32_t wantFullScreen;

int registerViewerClass(const ViewerApp& app);
int createViewerWindow(ViewerWindow& window);
int destroyViewerWindow(ViewerWindow& window);
int changeDisplayMode(int32_t width, int32_t height, int32_t bitsPerPixel);
void setViewerProjection(int32_t width, int32_t height);
intptr_t viewerWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
