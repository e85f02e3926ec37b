// The one texture loader: a table of bitmap ids in, mipmapped textures out.
#include "textures/texture_set.h"

#include <GL/glu.h>

#ifdef ORRELIA_CHECKED_BUILD
#include <errno.h>

#include <cstdio>
#endif

#include "platform/bitmaps.h"

namespace {

// GL_BGR_EXT: the stored pixels are blue-green-red, handed over as they are.
constexpr GLenum bgrPixels = 0x80E0;

#ifdef ORRELIA_CHECKED_BUILD
// Checked builds tell on stderr how many slots of each loaded set hold a
// picture, so tests outside the program can see that every rebuild of the
// viewer got a complete set. Slots are bound in order, so the last slot's
// texture stays bound as the loader promises.
void reportTextureSet(const TextureTable& table, const TextureSet& set) {
  int filled = 0;
  for (int slot = 0; slot < table.count; ++slot) {
    glBindTexture(GL_TEXTURE_2D, set.names[slot]);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    if (width > 0) ++filled;
  }
  std::fprintf(stderr, "%s: texture set: %d of %d slots hold a picture\n", program_invocation_short_name, filled,
               table.count);
}
#endif

}  // namespace

void loadTextureSet(const TextureTable& table, TextureSet& set) {
  // With no current context every GL call does nothing, but GLU's mipmap
  // builder first parses the GL_VERSION string, which is then null: it would
  // crash. A saver whose window system has no GL (an X server without GLX)
  // runs on drawing nothing, so the set stays empty.
  if (glGetString(GL_VERSION) == nullptr) {
    for (int slot = 0; slot < table.count; ++slot) set.names[slot] = 0;
    return;
  }
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
#ifdef ORRELIA_CHECKED_BUILD
  reportTextureSet(table, set);
#endif
}
