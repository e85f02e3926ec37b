// The orrery: a sun and nine planets with twenty moons seen from close by,
// over a fixed star field. Every angle moves by a fixed step on each frame,
// so the speed follows the rate at which the host calls drawOrrery.
#pragma once

#include <cstdint>

#include "scene/drawing_path.h"

// The orrery's angles in degrees, zero at program start. Only drawOrrery
// changes them, each by its own single-precision step per call; they are
// never reset and never reduced modulo 360. The moons borrow these too: the
// Moon turns by earth, the moons of Jupiter, Uranus and Pluto by mars, those
// of Mars, Saturn and Neptune by moon.
struct OrreryAngles {
  float sun;
  float mercury;
  float venus;
  float earth;
  float mars;
  float moon;
  float jupiter;
  float saturn;
  float uranus;
  float neptune;
  float pluto;
};

// One background point. Every star is generated with its flag set.
struct OrreryStar {
  bool flag;
  float x;  // whole number in -50..49
  float y;  // whole number in -50..49
  float z;  // whole number in 0..4, added to the star depth base
};

constexpr int orreryStarCount = 500;

// Sets the orrery up on the current GL context: viewport and projection for a
// client area of width x height (a height of 0 counts as 1), the texture set,
// light 1, the fixed GL state, a star field seeded by the calendar second and
// the sphere quadric. Leaves matrix mode GL_MODELVIEW with the identity
// loaded. The angles are left alone.
void initOrrery(int32_t width, int32_t height);

// Draws one frame into the back buffer (stars, Sun, planets and their moons)
// and steps every angle once. Needs initOrrery on the current context; the
// caller swaps the buffers. Allocates nothing. Leaves the modelview matrix
// at Pluto's moon and that moon's texture bound.
void drawOrrery();

// Chooses how spheres are drawn from now on (the fast path unless changed).
// The programs never call it; the benchmark and the pixel tests do.
void setOrreryDrawingPath(DrawingPath path);

const OrreryAngles& orreryAngles();
// The star field of the last set-up, in generation order.
const OrreryStar* orreryStarField();
// The depth to which each star's z is added: -15 for the life of the process.
float orreryStarDepthBase();
