// Device contexts, pixel formats and GL contexts of our windows.
#pragma once

#include <cstdint>

#include "platform/window.h"

struct PlatformDeviceContext;
struct PlatformGlContext;
using DeviceContext = PlatformDeviceContext*;
using GlContext = PlatformGlContext*;

constexpr uint32_t PFD_DOUBLEBUFFER = 0x01;
constexpr uint32_t PFD_DRAW_TO_WINDOW = 0x04;
constexpr uint32_t PFD_SUPPORT_OPENGL = 0x20;
constexpr uint8_t PFD_TYPE_RGBA = 0;
constexpr uint8_t PFD_MAIN_PLANE = 0;

// The fields of a pixel format that a request and a description use; every
// other property (accumulation, auxiliary buffers, layers) is absent here and
// is never requested.
struct PixelFormatDescriptor {
  uint16_t size;     // 40, the size of the classic record
  uint16_t version;  // 1
  uint32_t flags;
  uint8_t pixelType;
  uint8_t colorBits;
  uint8_t alphaBits;
  uint8_t depthBits;
  uint8_t stencilBits;
  uint8_t layerType;
};

// The window's own device context; every call on the same window returns the
// same one. 0 when the window does not exist.
DeviceContext getDeviceContext(WindowHandle window);
int releaseDeviceContext(WindowHandle window, DeviceContext deviceContext);

// Index (1 or more) of the closest format the window system can give, 0 when
// it has none.
int choosePixelFormat(DeviceContext deviceContext, const PixelFormatDescriptor* request);
// Fills `description` with format `index` as granted. Returns the number of
// formats, 0 on failure.
int describePixelFormat(DeviceContext deviceContext, int index, uint32_t descriptorSize,
                        PixelFormatDescriptor* description);
// Fixes the window's pixel format; a window takes one format for its life.
int setPixelFormat(DeviceContext deviceContext, int index, const PixelFormatDescriptor* request);

GlContext createGlContext(DeviceContext deviceContext);
// Binds `context` to the window of `deviceContext` on this thread; a null
// context unbinds whatever is current.
int makeGlContextCurrent(DeviceContext deviceContext, GlContext context);
int deleteGlContext(GlContext context);
int swapBuffers(DeviceContext deviceContext);
