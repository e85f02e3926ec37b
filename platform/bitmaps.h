// Numbered bitmap resources embedded in the program.
//
// Every program carries its pictures as stored bitmap files (a 14-byte file
// header, a 40-byte info header, bottom-up rows of blue-green-red pixels
// padded to 4 bytes), each under a numeric id. The build embeds them and
// produces the program's `programBitmaps` table.
#pragma once

#include <cstddef>
#include <cstdint>

struct BitmapResource {
  uint32_t id;
  const unsigned char* bytes;  // the whole stored file
  size_t size;
};

struct BitmapResourceTable {
  const BitmapResource* entries;
  size_t count;
};

// Defined once per executable by its generated resource table.
extern const BitmapResourceTable programBitmaps;

struct LoadedBitmap;
using BitmapHandle = LoadedBitmap*;

struct BitmapDescription {
  int32_t width;
  int32_t height;
  const unsigned char* pixels;  // bottom row first, 3 bytes B G R per pixel, rows padded to 4 bytes
};

// Loads the picture with this id from the program's own table. Returns 0 when
// there is no such id, or when the stored bytes are not a valid 24-bit
// uncompressed bottom-up picture whose rows fit in the stored data. Loading
// makes no copy: the pixels are read where they are embedded.
BitmapHandle loadBitmap(uint32_t id);
// The same, from any table (tests hand in fixtures).
BitmapHandle loadBitmapFrom(const BitmapResourceTable& table, uint32_t id);
int describeBitmap(BitmapHandle bitmap, BitmapDescription* description);
void releaseBitmap(BitmapHandle bitmap);

// Checks stored bitmap bytes; on success fills `description` with pointers
// into `bytes`. Exposed for tests and fuzzing.
bool parseStoredBitmap(const unsigned char* bytes, size_t size, BitmapDescription* description);
