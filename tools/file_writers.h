// Writers for the generator's files: stored 24-bit bitmaps, the 4-bit icon
// bitmap and a plain PNG.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/image.h"

// A stored 24-bit bitmap: file header, 40-byte info header, bottom-up BGR rows
// padded to 4 bytes. With `recordImageSize` false the image-size field is 0.
std::vector<uint8_t> encodeBitmap24(const ByteImage& image, bool recordImageSize, int32_t pixelsPerMetre);
// A 16-colour bitmap; `indices` holds one palette index per pixel, bottom row first.
std::vector<uint8_t> encodeBitmap4(int width, int height, const uint8_t* indices, const uint8_t palette[16][3]);
// An RGB PNG with stored (uncompressed) deflate blocks; rows top first as PNG wants.
std::vector<uint8_t> encodePng(const ByteImage& image);

bool writeFile(const char* path, const std::vector<uint8_t>& bytes);
