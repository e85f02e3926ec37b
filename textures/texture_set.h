// Texture tables and the loader that turns one into mipmapped GL textures.
//
// A program's TextureTable lists the ids of its embedded bitmaps in slot
// order; loadTextureSet gives slot i the picture of table entry i. Scenes bind
// textures only by slot number.
#pragma once

#include <GL/gl.h>
#include <cstdint>

constexpr int maxTextureSlots = 27;

struct TextureTable {
  const uint8_t* ids;  // bitmap ids, slot order
  int count;
};

struct TextureSet {
  GLuint names[maxTextureSlots];
};

extern const TextureTable orreryTextureTable;       // 27 slots
extern const TextureTable planetSaverTextureTable;  // 18 slots
extern const TextureTable planetViewerTextureTable; // 18 slots

// Fills `set` from `table` in the current GL context: one glGenTextures for
// every slot, then each picture mipmapped into its slot. A picture that cannot
// be loaded leaves its slot with a name that never gets an image; later slots
// keep their places. Leaves the last slot's texture bound.
void loadTextureSet(const TextureTable& table, TextureSet& set);
