#include <cstring>
#ifdef ORRELIA_CHECKED_BUILD
#include <cstdio>
#endif

#include "platform/clock.h"
#include "platform/message_box.h"
#include "scene/planet_scene.h"
#include "viewer/viewer.h"

int32_t keepRunning = 0;
int32_t wantFullScreen = 0;

namespace {

ViewerApp app;
KeyState keys;
ViewerWindow viewerWindow;
SceneClock sceneClock;  // survives every rebuild of the window
#ifdef ORRELIA_CHECKED_BUILD
// Checked builds tell the largest step the clock took (see docs/reliability.md).
uint32_t largestClockStep = 0;
#endif

void showError(const char* text) { showMessageBox(text, "Error", MB_OK | MB_ICONEXCLAMATION); }

void runFrame(ViewerWindow& window) {
  const uint32_t now = readMillisecondClock();
  checkViewerKeys(window, *window.keys);
  advanceSceneClock(sceneClock, viewerSceneConfig, now - window.lastTick);  // unsigned: right across a wrap
#ifdef ORRELIA_CHECKED_BUILD
  if (now - window.lastTick > largestClockStep) largestClockStep = now - window.lastTick;
#endif
  window.lastTick = now;
  drawPlanetScene(sceneClock);
  swapBuffers(window.deviceContext);
}

// Handles messages and draws whenever none is waiting, until WM_QUIT.
void runInnerLoop(ViewerWindow& window) {
  Message message;
  for (;;) {
    if (peekMessage(&message, window.windowHandle)) {
      if (message.message == WM_QUIT) return;
      dispatchMessage(&message);
    } else if (window.visible) {
      runFrame(window);
    } else {
      waitMessage();
    }
  }
}

}  // namespace

const SceneClock& viewerClock() { return sceneClock; }

void requestQuit(ViewerWindow& window) {
  postMessage(window.windowHandle, WM_QUIT, 0, 0);
  keepRunning = 0;
}

void requestToggle(ViewerWindow& window) { postMessage(window.windowHandle, toggleMessage, 0, 0); }

// Neither test clears its flag; when both keys are down the quit is queued
// first, so the program ends without switching.
void checkViewerKeys(ViewerWindow& window, const KeyState& state) {
  if (state.down[VK_ESCAPE] == 1) requestQuit(window);
  if (state.down[VK_F1] == 1) requestToggle(window);
}

int runViewer() {
  app.className = "OpenGL";
  viewerWindow = ViewerWindow{};
  viewerWindow.keys = &keys;
  std::memset(&keys, 0, sizeof(keys));
  viewerWindow.app = &app;
  viewerWindow.title = "Orrelia";
  viewerWindow.width = 640;
  viewerWindow.height = 480;
  viewerWindow.bitsPerPixel = 16;
  viewerWindow.fullScreen = 1;

  if (showMessageBox("Would You Like To Run In Fullscreen Mode?", "Start FullScreen?", MB_YESNO | MB_ICONQUESTION) ==
      IDNO)
    viewerWindow.fullScreen = 0;

  if (!registerViewerClass(app)) {
    showError("Error Registering Window Class!");
    return -1;
  }
  keepRunning = 1;
  wantFullScreen = viewerWindow.fullScreen;

  while (keepRunning) {
    viewerWindow.fullScreen = wantFullScreen;
    if (createViewerWindow(viewerWindow) != 1) {
      showError("Error Creating OpenGL Window");
      keepRunning = 0;
      break;
    }
    if (initPlanetScene(viewerSceneConfig) == 0) {
      requestQuit(viewerWindow);
    } else {
      runInnerLoop(viewerWindow);
    }
    releasePlanetScene();
    destroyViewerWindow(viewerWindow);
  }
  unregisterWindowClass(app.className);
#ifdef ORRELIA_CHECKED_BUILD
  std::fprintf(stderr, "planet-viewer: largest clock step %u ms, clock now %u\n", largestClockStep,
               readMillisecondClock());
#endif
  return 0;
}
