// Pictures as the generator paints them: floating-point RGB, rows bottom
// first, as the stored bitmaps keep them and as a GLU sphere reads them
// (row 0 is texture coordinate t = 0, the south pole).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/noise.h"

struct Colour {
  float r;
  float g;
  float b;
};

inline Colour operator+(Colour a, Colour b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Colour operator*(Colour a, float s) { return {a.r * s, a.g * s, a.b * s}; }
inline Colour mixColour(Colour a, Colour b, float t) { return a + (b + a * -1.0f) * t; }
inline Colour makeGrey(float value) { return {value, value, value}; }

struct Image {
  int width;
  int height;
  std::vector<Colour> pixels;  // width * height, bottom row first
};

Image makeImage(int width, int height);
inline Colour& pixelAt(Image& image, int x, int y) {
  return image.pixels[static_cast<size_t>(y) * image.width + x];
}

// Where a pixel centre lies on the unit sphere, as a GLU sphere maps a
// texture: longitude follows x (s), latitude follows y (t, bottom = south).
struct SpherePixel {
  Vec3 point;
  float latitude;   // radians, -pi/2 at the bottom row
  float longitude;  // radians, 0 at the left edge
};
SpherePixel locatePixelOnSphere(int x, int y, int width, int height);

// 8-bit images for the writers.
struct ByteImage {
  int width;
  int height;
  std::vector<uint8_t> rgb;  // width * height * 3, bottom row first, R G B
};
ByteImage quantizeImage(const Image& image);
