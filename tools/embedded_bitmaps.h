// The bitmap tables that make-pictures generates, one per program, under
// names of their own so that a test can link all three together. Each
// program's `programBitmaps` points at the same entries.
#pragma once

#include "platform/bitmaps.h"

extern const BitmapResourceTable orrerySaverBitmaps;   // 27 pictures
extern const BitmapResourceTable planetSaverBitmaps;   // 18 pictures
extern const BitmapResourceTable planetViewerBitmaps;  // 18 pictures
