#include "platform/headless_gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstdio>
#include <vector>

namespace {

EGLDisplay display = EGL_NO_DISPLAY;
EGLContext context = EGL_NO_CONTEXT;
EGLSurface surface = EGL_NO_SURFACE;

bool fail(const char* what) {
  std::fprintf(stderr, "headless GL: %s failed (EGL error 0x%x)\n", what, eglGetError());
  closeHeadlessGl();
  return false;
}

}  // namespace

bool openHeadlessGl(int width, int height) {
  auto getPlatformDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (getPlatformDisplay == nullptr) return fail("eglGetPlatformDisplayEXT lookup");
  display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (display == EGL_NO_DISPLAY) return fail("surfaceless display");
  if (!eglInitialize(display, nullptr, nullptr)) return fail("eglInitialize");
  if (!eglBindAPI(EGL_OPENGL_API)) return fail("eglBindAPI");

  const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                     EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_DEPTH_SIZE, 24,
                                     EGL_NONE};
  EGLConfig config;
  EGLint configCount = 0;
  if (!eglChooseConfig(display, configAttributes, &config, 1, &configCount) || configCount < 1)
    return fail("eglChooseConfig");

  const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                      EGL_NONE};
  context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
  if (context == EGL_NO_CONTEXT) return fail("eglCreateContext");

  const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
  surface = eglCreatePbufferSurface(display, config, surfaceAttributes);
  if (surface == EGL_NO_SURFACE) return fail("eglCreatePbufferSurface");
  if (!eglMakeCurrent(display, surface, surface, context)) return fail("eglMakeCurrent");
  return true;
}

void closeHeadlessGl() {
  if (display == EGL_NO_DISPLAY) return;
  eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  if (surface != EGL_NO_SURFACE) eglDestroySurface(display, surface);
  if (context != EGL_NO_CONTEXT) eglDestroyContext(display, context);
  eglTerminate(display);
  surface = EGL_NO_SURFACE;
  context = EGL_NO_CONTEXT;
  display = EGL_NO_DISPLAY;
}

Rgb readBackPixel(int x, int y) {
  unsigned char pixel[4] = {0, 0, 0, 0};
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  return Rgb{pixel[0], pixel[1], pixel[2]};
}

bool writeBackBufferPpm(const char* path, int width, int height) {
  std::vector<unsigned char> rows(static_cast<size_t>(width) * height * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  std::fprintf(file, "P6\n%d %d\n255\n", width, height);
  for (int y = height - 1; y >= 0; --y) std::fwrite(&rows[static_cast<size_t>(y) * width * 3], 1, width * 3, file);
  return std::fclose(file) == 0;
}
