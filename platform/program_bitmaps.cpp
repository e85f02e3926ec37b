// Loading from the running program's own pictures. Kept apart from the reader
// so that a binary which only parses bitmaps need not carry a table.
#include "platform/bitmaps.h"

BitmapHandle loadBitmap(uint32_t id) { return loadBitmapFrom(programBitmaps, id); }
