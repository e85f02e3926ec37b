#include "tools/image.h"

#include <cmath>

Image makeImage(int width, int height) {
  Image image;
  image.width = width;
  image.height = height;
  image.pixels.assign(static_cast<size_t>(width) * height, Colour{0.0f, 0.0f, 0.0f});
  return image;
}

SpherePixel locatePixelOnSphere(int x, int y, int width, int height) {
  const float pi = 3.14159265f;
  float longitude = (static_cast<float>(x) + 0.5f) / static_cast<float>(width) * 2.0f * pi;
  float latitude = ((static_cast<float>(y) + 0.5f) / static_cast<float>(height) - 0.5f) * pi;
  float ring = std::cos(latitude);
  return {{ring * std::cos(longitude), ring * std::sin(longitude), std::sin(latitude)}, latitude, longitude};
}

ByteImage quantizeImage(const Image& image) {
  ByteImage bytes;
  bytes.width = image.width;
  bytes.height = image.height;
  bytes.rgb.resize(image.pixels.size() * 3);
  for (size_t i = 0; i < image.pixels.size(); ++i) {
    const float channels[3] = {image.pixels[i].r, image.pixels[i].g, image.pixels[i].b};
    for (int c = 0; c < 3; ++c) {
      float value = channels[c] * 255.0f + 0.5f;
      bytes.rgb[i * 3 + c] = static_cast<uint8_t>(value < 0.0f ? 0.0f : value > 255.0f ? 255.0f : value);
    }
  }
  return bytes;
}
