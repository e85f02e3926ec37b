// What both screen savers share: the GL context on their window, the
// planet saver's projection, and the (empty) configure dialog the host asks
// for (RegisterDialogClasses and ScreenSaverConfigureDialog, defined here).
#pragma once

#include "platform/gl_context.h"
#include "platform/window.h"

// Makes a double-buffered RGBA context with 24 colour and 24 depth bits (or
// the closest the window system has) on the window and makes it current. The
// window's device context is private, so the context stays bound to the
// window's surface after the device context is released. Nothing is
// checked: with no context the saver still runs, drawing nothing.
GlContext createSaverContext(WindowHandle window);

// planet-saver's projection: 45 degrees, near 0.1, far 200. A zero height is
// taken as 1 for the viewport and the aspect alike.
void setSaverProjection(int32_t width, int32_t height);
