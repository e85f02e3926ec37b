// The one texture loader: a table of bitmap ids in, mipmapped textures out.
#include "textures/texture_set.h"

#include <GL/glu.h>

#include "platform/bitmaps.h"

namespace {

// GL_BGR_EXT: the stored pixels are blue-green-red, handed over as they are.
constexpr GLenum bgrPixels = 0x80E0;

}  // namespace

void loadTextureSet(const TextureTable& table, TextureSet& set) {
  glGenTextures(table.count, set.names);
  for (int slot = 0; slot < table.count; ++slot) {
    BitmapHandle bitmap = loadBitmap(table.ids[slot]);
    // A missing picture leaves the slot's name without an image; the later
    // slots keep their own places.
    if (bitmap == nullptr) continue;
    BitmapDescription picture = {0, 0, nullptr};
    describeBitmap(bitmap, &picture);
    // Stored rows are padded to 4 bytes; rows go over bottom first, so texel
    // row 0 (t = 0) is the picture's bottom edge.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_2D, set.names[slot]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    // GLU scales sides that are not powers of two (281 -> 256) before it
    // builds the levels down to 1 x 1.
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, picture.width, picture.height, bgrPixels, GL_UNSIGNED_BYTE, picture.pixels);
    releaseBitmap(bitmap);
  }
}
