// loadTextureSet with no current GL context, as a saver on an X server
// without GLX calls it: every GL call does nothing there, but GLU's mipmap
// builder would read a null GL_VERSION string and crash.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/bitmaps.h"
#include "tests/textures/stored_bitmap_fixtures.h"
#include "textures/texture_set.h"

namespace {
const std::vector<uint8_t> picture = makeStoredBitmap(8, 4, [](int x, int row) {
  return FixtureColour{static_cast<uint8_t>(x * 30), static_cast<uint8_t>(row * 60), 200};
});
const BitmapResource entries[] = {{7, picture.data(), picture.size()}, {9, picture.data(), picture.size()}};
}  // namespace
const BitmapResourceTable programBitmaps = {entries, 2};

namespace {

TEST(LoadTextureSetWithoutAContext, LoadsNothingAndLeavesEverySlotEmpty) {
  ASSERT_EQ(glGetString(GL_VERSION), nullptr) << "this test needs no context current";
  const uint8_t ids[] = {7, 9, 7};
  const TextureTable table = {ids, 3};
  TextureSet set;
  for (GLuint& name : set.names) name = 1234;  // what an earlier context left
  loadTextureSet(table, set);
  for (int slot = 0; slot < table.count; ++slot) EXPECT_EQ(set.names[slot], 0u) << "slot " << slot;
}

}  // namespace
