// A GL context with no window system, for tests and benchmarks that check GL
// state, pixels and costs:
// EGL surfaceless on Mesa, a compatibility-profile context (fixed
// function) drawing into a pbuffer of the requested size.
#pragma once

#include <cstdint>

struct Rgb {
  int r;
  int g;
  int b;
};

// Makes a new context current with a double-buffered pbuffer of width x height.
// Returns false (and says why on stderr) when no such context can be made.
bool openHeadlessGl(int width, int height);
// Deletes the context, the pbuffer and the EGL display connection.
void closeHeadlessGl();
// Reads one pixel of the back buffer (origin bottom-left, as GL counts).
Rgb readBackPixel(int x, int y);
// Writes the back buffer as a binary PPM (for looking at a failure).
bool writeBackBufferPpm(const char* path, int width, int height);
