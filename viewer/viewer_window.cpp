#include <GL/gl.h>
#include <GL/glu.h>

#include <cstring>

#include "platform/clock.h"
#include "platform/display_mode.h"
#include "platform/message_box.h"
#include "viewer/viewer.h"

namespace {

ViewerWindow* windowRecord(WindowHandle window) { return static_cast<ViewerWindow*>(getWindowUserData(window)); }

int32_t lowWord(intptr_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value) & 0xFFFF); }
int32_t highWord(intptr_t value) { return static_cast<int32_t>((static_cast<uint32_t>(value) >> 16) & 0xFFFF); }

// A build that fails after it switched the display for full screen gives the
// display and the cursor back, so the user is not left in 640 x 480 with no
// pointer when the program ends.
void undoFullScreen(const ViewerWindow& window) {
  if (!window.fullScreen) return;
  changeDisplaySettings(nullptr, 0);
  showCursor(1);
}

}  // namespace

int registerViewerClass(const ViewerApp& app) {
  WindowClass windowClass;
  std::memset(&windowClass, 0, sizeof(windowClass));
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
  windowClass.windowProc = viewerWindowProc;
  windowClass.className = app.className;
  if (!registerWindowClass(&windowClass)) {
    showMessageBox("RegisterClassEx Failed!", "Error", MB_OK | MB_ICONEXCLAMATION);
    return 0;
  }
  return 1;
}

int changeDisplayMode(int32_t width, int32_t height, int32_t bitsPerPixel) {
  DisplayMode mode;
  std::memset(&mode, 0, sizeof(mode));
  mode.width = static_cast<uint32_t>(width);
  mode.height = static_cast<uint32_t>(height);
  mode.bitsPerPixel = static_cast<uint32_t>(bitsPerPixel);
  mode.fields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
  return changeDisplaySettings(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL ? 1 : 0;
}

void setViewerProjection(int32_t width, int32_t height) {
  if (height == 0) height = 1;  // a window dragged down to no client area
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, static_cast<double>(width) / static_cast<double>(height), 1.0, 200.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

int createViewerWindow(ViewerWindow& window) {
  PixelFormatDescriptor request;
  std::memset(&request, 0, sizeof(request));
  request.size = 40;
  request.version = 1;
  request.flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  request.pixelType = PFD_TYPE_RGBA;
  request.colorBits = static_cast<uint8_t>(window.bitsPerPixel & 0xFF);
  request.depthBits = 16;
  request.layerType = PFD_MAIN_PLANE;

  WindowRect rect = {0, 0, window.width, window.height};
  uint32_t style = WS_OVERLAPPEDWINDOW;
  uint32_t exStyle = WS_EX_APPWINDOW;
  if (window.fullScreen) {
    if (changeDisplayMode(window.width, window.height, window.bitsPerPixel)) {
      showCursor(0);
      style = WS_POPUP;
      exStyle = WS_EX_APPWINDOW | WS_EX_TOPMOST;
    } else {
      showMessageBox("Mode Switch Failed.\nRunning In Windowed Mode.", "Error", MB_OK | MB_ICONEXCLAMATION);
      window.fullScreen = 0;  // the outer size stays width x height: the rectangle is not grown
    }
  } else {
    adjustWindowRect(&rect, style, exStyle);
  }

  window.windowHandle = createWindow(exStyle, window.app->className, window.title, style, 0, 0,
                                     rect.right - rect.left, rect.bottom - rect.top, &window);
  if (window.windowHandle == nullptr) {
    undoFullScreen(window);
    return 0;
  }

  // Each failure below unwinds what the build made so far.
  window.deviceContext = getDeviceContext(window.windowHandle);
  bool made = window.deviceContext != nullptr;
  int format = 0;
  if (made) {
    format = choosePixelFormat(window.deviceContext, &request);
    made = format != 0 && setPixelFormat(window.deviceContext, format, &request);
  }
  if (made) {
    window.glContext = createGlContext(window.deviceContext);
    made = window.glContext != nullptr;
    if (made && !makeGlContextCurrent(window.deviceContext, window.glContext)) {
      deleteGlContext(window.glContext);
      window.glContext = nullptr;
      made = false;
    }
  }
  if (!made) {
    if (window.deviceContext != nullptr) releaseDeviceContext(window.windowHandle, window.deviceContext);
    window.deviceContext = nullptr;
    destroyWindow(window.windowHandle);
    window.windowHandle = nullptr;
    undoFullScreen(window);
    return 0;
  }

  showWindow(window.windowHandle);
  // Whatever size messages came while the window was made and shown, the
  // build ends visible with the projection for the requested size.
  window.visible = 1;
  setViewerProjection(window.width, window.height);
  std::memset(window.keys, 0, sizeof(*window.keys));
  window.lastTick = readMillisecondClock();
  return 1;
}

int destroyViewerWindow(ViewerWindow& window) {
  if (window.windowHandle != nullptr) {
    if (window.deviceContext != nullptr) {
      makeGlContextCurrent(window.deviceContext, nullptr);
      if (window.glContext != nullptr) {
        deleteGlContext(window.glContext);
        window.glContext = nullptr;
      }
      releaseDeviceContext(window.windowHandle, window.deviceContext);
      window.deviceContext = nullptr;
    }
    destroyWindow(window.windowHandle);
    window.windowHandle = nullptr;
  }
  if (window.fullScreen) {
    changeDisplaySettings(nullptr, 0);
    showCursor(1);
  }
  return 1;
}

intptr_t viewerWindowProc(WindowHandle handle, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  ViewerWindow* window = windowRecord(handle);
  switch (message) {
    case WM_CREATE:
      setWindowUserData(handle, reinterpret_cast<CreateStruct*>(lParam)->createParams);
      return 0;
    case WM_SIZE:
      if (window == nullptr) break;
      if (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED) {
        window->visible = 1;
        // Before the build has made its context current there is nothing to set.
        if (window->glContext != nullptr) setViewerProjection(lowWord(lParam), highWord(lParam));
        return 0;
      }
      if (wParam == SIZE_MINIMIZED) {
        window->visible = 0;
        return 0;
      }
      break;
    case WM_CLOSE:
      if (window != nullptr) requestQuit(*window);
      return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (window == nullptr || wParam > 255) break;
      window->keys->down[wParam] = message == WM_KEYDOWN ? 1 : 0;
      return 0;
    case WM_SYSCOMMAND:
      // The whole wParam is compared: the desktop's screen saver and monitor
      // power-down are refused while the window exists.
      if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) return 0;
      break;
    case toggleMessage:
      wantFullScreen = wantFullScreen == 1 ? 0 : 1;
      postMessage(handle, WM_QUIT, 0, 0);
      return 0;
    default:
      break;
  }
  return defWindowProc(handle, message, wParam, lParam);
}
