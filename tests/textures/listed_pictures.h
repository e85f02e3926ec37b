// What each program is meant to carry: the id and picture size of every slot
// of its texture table, written out from the picture list rather than taken
// from the code under test, so the tests check one against the other.
#pragma once

#include "textures/texture_set.h"
#include "tools/embedded_bitmaps.h"

struct PictureSize {
  int width;
  int height;
};

struct ListedSlot {
  int id;
  PictureSize size;
};

struct ListedProgram {
  const char* name;
  const TextureTable* table;
  const BitmapResourceTable* embedded;
  int slotCount;
  ListedSlot slots[maxTextureSlots];
};

constexpr PictureSize s64 = {64, 64};
constexpr PictureSize s128 = {128, 128};
constexpr PictureSize s256 = {256, 256};
constexpr PictureSize s281 = {281, 128};
constexpr PictureSize s512 = {512, 512};

inline const ListedProgram listedPrograms[] = {
    {"orrery-saver", &orreryTextureTable, &orrerySaverBitmaps, 27,
     {{124, s256}, {108, s281}, {149, s256}, {105, s128}, {128, s128}, {104, s128}, {103, s256},
      {113, s128}, {127, s128}, {109, s128}, {111, s128}, {102, s256}, {125, s256}, {119, s128},
      {121, s128}, {112, s128}, {106, s128}, {117, s128}, {123, s128}, {118, s256}, {107, s256},
      {120, s256}, {129, s256}, {110, s256}, {126, s128}, {122, s128}, {153, s128}}},
    {"planet-saver", &planetSaverTextureTable, &planetSaverBitmaps, 18,
     {{101, s64}, {103, s64}, {104, s128}, {105, s128}, {108, s256}, {107, s281}, {106, s128}, {114, s256},
      {113, s256}, {112, s128}, {110, s128}, {111, s256}, {109, s128}, {115, s256}, {119, s128}, {118, s128},
      {116, s128}, {120, s512}}},
    {"planet-viewer", &planetViewerTextureTable, &planetViewerBitmaps, 18,
     {{104, s64}, {108, s64}, {107, s128}, {109, s128}, {110, s256}, {111, s128}, {112, s256}, {113, s128},
      {114, s128}, {115, s128}, {116, s128}, {117, s281}, {118, s256}, {121, s128}, {119, s128}, {120, s256},
      {122, s256}, {123, s512}}},
};

// The texture GLU builds from a picture: each side scaled to the nearest
// power of two (only 281 is not one already).
inline PictureSize scaleToTextureSize(PictureSize picture) {
  return {picture.width == 281 ? 256 : picture.width, picture.height};
}
