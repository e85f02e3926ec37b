// Small stored bitmaps built in memory, for the reader and loader tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct FixtureColour {
  uint8_t r;
  uint8_t g;
  uint8_t b;
};

inline void putU16At(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
  bytes[offset] = static_cast<uint8_t>(value);
  bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

inline void putU32At(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
  putU16At(bytes, offset, value & 0xffffU);
  putU16At(bytes, offset + 2, value >> 16);
}

inline size_t countStoredRowBytes(int width) { return (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3); }

// A valid 24-bit bottom-up picture. colourAt(x, row) gives each pixel, row 0
// being the bottom row (stored first). Row padding is filled with `padding`,
// so a reader that takes padding for pixels shows it.
template <typename ColourAt>
std::vector<uint8_t> makeStoredBitmap(int width, int height, ColourAt colourAt, uint8_t padding = 0xA5) {
  size_t rowBytes = countStoredRowBytes(width);
  std::vector<uint8_t> bytes(54 + rowBytes * static_cast<size_t>(height), padding);
  bytes[0] = 'B';
  bytes[1] = 'M';
  putU32At(bytes, 2, static_cast<uint32_t>(bytes.size()));
  putU32At(bytes, 6, 0);
  putU32At(bytes, 10, 54);
  putU32At(bytes, 14, 40);
  putU32At(bytes, 18, static_cast<uint32_t>(width));
  putU32At(bytes, 22, static_cast<uint32_t>(height));
  putU16At(bytes, 26, 1);
  putU16At(bytes, 28, 24);
  putU32At(bytes, 30, 0);
  putU32At(bytes, 34, static_cast<uint32_t>(rowBytes * height));
  putU32At(bytes, 38, 2835);
  putU32At(bytes, 42, 2835);
  putU32At(bytes, 46, 0);
  putU32At(bytes, 50, 0);
  for (int row = 0; row < height; ++row) {
    for (int x = 0; x < width; ++x) {
      FixtureColour colour = colourAt(x, row);
      uint8_t* pixel = &bytes[54 + rowBytes * row + static_cast<size_t>(x) * 3];
      pixel[0] = colour.b;
      pixel[1] = colour.g;
      pixel[2] = colour.r;
    }
  }
  return bytes;
}

inline std::vector<uint8_t> makeSolidBitmap(int width, int height, FixtureColour colour) {
  return makeStoredBitmap(width, height, [colour](int, int) { return colour; });
}
