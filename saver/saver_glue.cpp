#include "saver/saver_glue.h"

#include "platform/saver_host.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstring>

GlContext createSaverContext(WindowHandle window) {
  DeviceContext deviceContext = getDeviceContext(window);
  PixelFormatDescriptor descriptor;
  std::memset(&descriptor, 0, sizeof(descriptor));
  descriptor.size = 40;
  descriptor.version = 1;
  descriptor.flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  descriptor.pixelType = PFD_TYPE_RGBA;
  descriptor.colorBits = 24;
  descriptor.depthBits = 24;
  const int format = choosePixelFormat(deviceContext, &descriptor);
  describePixelFormat(deviceContext, format, 40, &descriptor);
  setPixelFormat(deviceContext, format, &descriptor);
  GlContext context = createGlContext(deviceContext);
  makeGlContextCurrent(deviceContext, context);
  releaseDeviceContext(window, deviceContext);
  return context;
}

void setSaverProjection(int32_t width, int32_t height) {
  if (height == 0) height = 1;
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, static_cast<double>(width) / static_cast<double>(height), static_cast<double>(0.1f), 200.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

// Neither saver has settings: no dialog classes to register, and a configure
// request shows nothing.
int RegisterDialogClasses(void*) { return 1; }

int ScreenSaverConfigureDialog(void*, uint32_t, uintptr_t, intptr_t) { return 0; }
