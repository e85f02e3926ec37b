// How the scenes draw their spheres. The programs always use the fast path;
// the straightforward path (one gluSphere per body, every frame, in immediate
// mode) stays in the code so that the benchmark and the pixel tests can hold
// the fast path against it in one run.
#pragma once

#include <cstdint>

enum class DrawingPath : uint8_t { fast, straightforward };
