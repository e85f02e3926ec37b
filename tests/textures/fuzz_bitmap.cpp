// libFuzzer target for the stored-bitmap reader: whatever the bytes, the
// reader either refuses them or describes rows that lie wholly inside them.
#include <cstddef>
#include <cstdint>

#include "platform/bitmaps.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  BitmapDescription description{};
  if (parseStoredBitmap(data, size, &description)) {
    // Touch the first and last byte of every row, padding included, so the
    // address sanitizer sees any row the reader let past the end.
    size_t rowBytes = (static_cast<size_t>(description.width) * 3 + 3) & ~static_cast<size_t>(3);
    volatile unsigned sum = 0;
    for (int32_t row = 0; row < description.height; ++row)
      sum = sum + description.pixels[rowBytes * row] + description.pixels[rowBytes * row + rowBytes - 1];
    if (description.pixels < data || description.pixels + rowBytes * description.height > data + size) __builtin_trap();
  }
  const BitmapResource entry = {101, data, size};
  BitmapHandle handle = loadBitmapFrom({&entry, 1}, 101);
  BitmapDescription loaded{};
  if ((handle != nullptr) != (describeBitmap(handle, &loaded) != 0)) __builtin_trap();
  releaseBitmap(handle);
  return 0;
}
