// Stored-bitmap reader over embedded bytes. Nothing is copied or allocated:
// a handle is a slot of a small fixed pool that records where the checked
// pixel rows lie.
#include "platform/bitmaps.h"

namespace {

constexpr size_t fileHeaderBytes = 14;
constexpr size_t infoHeaderBytes = 40;
constexpr int32_t largestSide = 16384;
constexpr uint32_t largestColourTable = 256;

uint32_t readU16(const unsigned char* bytes) { return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8; }

uint32_t readU32(const unsigned char* bytes) { return readU16(bytes) | readU16(bytes + 2) << 16; }

int32_t readS32(const unsigned char* bytes) { return static_cast<int32_t>(readU32(bytes)); }

}  // namespace

// A loaded picture: the description of checked pixel rows in someone else's
// bytes. The pool below holds every one that exists.
struct LoadedBitmap {
  bool inUse;
  BitmapDescription description;
};

namespace {

// More than any caller holds at once: the texture loader holds one.
constexpr int bitmapPoolSize = 8;
LoadedBitmap bitmapPool[bitmapPoolSize];

}  // namespace

bool parseStoredBitmap(const unsigned char* bytes, size_t size, BitmapDescription* description) {
  if (bytes == nullptr || description == nullptr) return false;
  if (size < fileHeaderBytes + infoHeaderBytes) return false;
  if (bytes[0] != 'B' || bytes[1] != 'M') return false;

  // The file's own length must fit in what we were given; bytes after it are
  // not part of the picture.
  uint64_t fileSize = readU32(bytes + 2);
  if (fileSize < fileHeaderBytes + infoHeaderBytes || fileSize > size) return false;
  uint64_t pixelOffset = readU32(bytes + 10);

  const unsigned char* info = bytes + fileHeaderBytes;
  if (readU32(info) != infoHeaderBytes) return false;  // only the 40-byte header is understood
  int32_t width = readS32(info + 4);
  int32_t height = readS32(info + 8);  // negative would mean top-down rows: refused
  if (width <= 0 || height <= 0 || width > largestSide || height > largestSide) return false;
  if (readU16(info + 12) != 1) return false;   // planes
  if (readU16(info + 14) != 24) return false;  // bits per pixel
  if (readU32(info + 16) != 0) return false;   // compression: BI_RGB only
  // info + 20, the image size, may be 0 and is never trusted: the size is
  // computed from width and height below.
  uint64_t coloursUsed = readU32(info + 32);
  if (coloursUsed > largestColourTable) return false;

  uint64_t firstPixel = fileHeaderBytes + infoHeaderBytes + coloursUsed * 4;
  if (pixelOffset < firstPixel || pixelOffset > fileSize) return false;
  uint64_t rowBytes = (static_cast<uint64_t>(width) * 3 + 3) & ~static_cast<uint64_t>(3);
  uint64_t pixelBytes = rowBytes * static_cast<uint64_t>(height);
  if (pixelBytes > fileSize - pixelOffset) return false;

  description->width = width;
  description->height = height;
  description->pixels = bytes + pixelOffset;
  return true;
}

BitmapHandle loadBitmapFrom(const BitmapResourceTable& table, uint32_t id) {
  if (table.entries == nullptr) return nullptr;
  const BitmapResource* resource = nullptr;
  for (size_t i = 0; i < table.count && resource == nullptr; ++i)
    if (table.entries[i].id == id) resource = &table.entries[i];
  if (resource == nullptr) return nullptr;

  BitmapDescription description;
  if (!parseStoredBitmap(resource->bytes, resource->size, &description)) return nullptr;
  for (LoadedBitmap& slot : bitmapPool) {
    if (!slot.inUse) {
      slot.inUse = true;
      slot.description = description;
      return &slot;
    }
  }
  return nullptr;  // every slot is held: refuse rather than allocate
}

int describeBitmap(BitmapHandle bitmap, BitmapDescription* description) {
  if (bitmap == nullptr || description == nullptr || !bitmap->inUse) return 0;
  *description = bitmap->description;
  return 1;
}

void releaseBitmap(BitmapHandle bitmap) {
  for (LoadedBitmap& slot : bitmapPool)
    if (&slot == bitmap) slot.inUse = false;
}
