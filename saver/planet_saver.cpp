// planet-saver: the planet scene in its saver configuration, one frame per
// tick of a 5 ms timer, advanced by the milliseconds between ticks.

#ifdef ORRELIA_CHECKED_BUILD
#include <cstdio>
#endif

#include "platform/clock.h"
#include "platform/saver_host.h"
#include "saver/saver_glue.h"
#include "scene/planet_scene.h"

namespace {

constexpr uintptr_t timerId = 1;
constexpr uint32_t timerPeriod = 5;

GlContext saverContext = nullptr;
uint32_t saverLastTick = 0;
SceneClock sceneClock;
#ifdef ORRELIA_CHECKED_BUILD
// Checked builds tell the largest step the clock took, so tests can see a
// pause carried into the scene and a wrap of the clock carried over smoothly.
uint32_t largestClockStep = 0;
#endif

}  // namespace

intptr_t ScreenSaverProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case WM_CREATE: {
      saverContext = createSaverContext(window);
      // The first tick measures from here, so it also counts the set-up.
      saverLastTick = readMillisecondClock();
      WindowRect client;
      getClientRect(window, &client);
      const int32_t width = client.right - client.left;
      const int32_t height = client.bottom - client.top;
      setSaverProjection(width, height);
      initPlanetScene(saverSceneConfig);
      setTimer(window, timerId, timerPeriod);
      break;
    }
    case WM_TIMER: {
      DeviceContext deviceContext = getDeviceContext(window);
      const uint32_t now = readMillisecondClock();
      advanceSceneClock(sceneClock, saverSceneConfig, now - saverLastTick);  // unsigned: right across a wrap
#ifdef ORRELIA_CHECKED_BUILD
      if (now - saverLastTick > largestClockStep) largestClockStep = now - saverLastTick;
#endif
      saverLastTick = now;
      drawPlanetScene(sceneClock);
      swapBuffers(deviceContext);
      releaseDeviceContext(window, deviceContext);
      break;
    }
    case WM_DESTROY:
      makeGlContextCurrent(nullptr, nullptr);
      deleteGlContext(saverContext);
      saverContext = nullptr;
      releasePlanetScene();
#ifdef ORRELIA_CHECKED_BUILD
      std::fprintf(stderr, "planet-saver: largest clock step %u ms, clock now %u\n", largestClockStep,
                   readMillisecondClock());
#endif
      break;
    default:
      break;
  }
  return DefScreenSaverProc(window, message, wParam, lParam);
}

int main(int argc, char** argv) { return runScreenSaver(argc, argv); }
