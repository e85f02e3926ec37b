// orrery-saver: the orrery, stepped once per tick of a 5 ms timer; its speed
// follows the rate of the ticks.

#include "platform/saver_host.h"
#include "saver/saver_glue.h"
#include "scene/orrery.h"

namespace {

constexpr uintptr_t timerId = 1;
constexpr uint32_t timerPeriod = 5;

GlContext saverContext = nullptr;

}  // namespace

intptr_t ScreenSaverProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  switch (message) {
    case WM_CREATE: {
      saverContext = createSaverContext(window);
      WindowRect client;
      getClientRect(window, &client);
      initOrrery(client.right - client.left, client.bottom - client.top);
      setTimer(window, timerId, timerPeriod);
      break;
    }
    case WM_TIMER: {
      DeviceContext deviceContext = getDeviceContext(window);
      drawOrrery();
      swapBuffers(deviceContext);
      releaseDeviceContext(window, deviceContext);
      break;
    }
    case WM_DESTROY:
      // The orrery's quadric lives until the process ends.
      makeGlContextCurrent(nullptr, nullptr);
      deleteGlContext(saverContext);
      saverContext = nullptr;
      break;
    default:
      break;
  }
  return DefScreenSaverProc(window, message, wParam, lParam);
}

int main(int argc, char** argv) { return runScreenSaver(argc, argv); }
