// loadTextureSet in a real (headless) GL: what lands in each texture.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/bitmaps.h"
#include "tests/support/headless_gl.h"
#include "tests/textures/listed_pictures.h"
#include "tests/textures/stored_bitmap_fixtures.h"
#include "textures/texture_set.h"

// This binary's own pictures: loadBitmap reads programBitmaps, so each test
// fills these entries with the pictures it wants found.
namespace {
constexpr size_t testEntryCount = 32;
BitmapResource testEntries[testEntryCount];
}  // namespace
const BitmapResourceTable programBitmaps = {testEntries, testEntryCount};

namespace {

void setTestPictures(std::initializer_list<BitmapResource> entries) {
  for (BitmapResource& entry : testEntries) entry = {0, nullptr, 0};
  size_t i = 0;
  for (const BitmapResource& entry : entries) testEntries[i++] = entry;
}

void setTestPictures(const BitmapResourceTable& table) {
  for (BitmapResource& entry : testEntries) entry = {0, nullptr, 0};
  for (size_t i = 0; i < table.count && i < testEntryCount; ++i) testEntries[i] = table.entries[i];
}

struct Texels {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;  // row 0 first, as GL counts (t = 0)
  const unsigned char* at(int x, int row) const { return &rgb[(static_cast<size_t>(row) * width + x) * 3]; }
};

Texels readLevel(GLuint name, int level) {
  Texels texels;
  glBindTexture(GL_TEXTURE_2D, name);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &texels.width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &texels.height);
  texels.rgb.resize(static_cast<size_t>(texels.width) * texels.height * 3);
  if (!texels.rgb.empty()) {
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_BYTE, texels.rgb.data());
  }
  return texels;
}

int readLevelWidth(GLuint name, int level) {
  GLint width = -1;
  glBindTexture(GL_TEXTURE_2D, name);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
  return width;
}

TextureTable makeTable(const std::vector<uint8_t>& ids) { return {ids.data(), static_cast<int>(ids.size())}; }

class TextureLoader : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(openHeadlessGl(64, 64)) << "no headless GL context"; }
  void TearDown() override { closeHeadlessGl(); }
};

TEST_F(TextureLoader, The281WidePictureKeepsItsRowPaddingAndFillsA256By128Texture) {
  // Grey inside, a green first column and a red last column; the padding
  // byte is white. Misread padding shears each row one byte further.
  std::vector<uint8_t> picture = makeStoredBitmap(281, 128, [](int x, int) {
    if (x == 0) return FixtureColour{0, 220, 0};
    if (x == 280) return FixtureColour{220, 0, 0};
    return FixtureColour{100, 100, 100};
  }, 0xFF);
  setTestPictures({{117, picture.data(), picture.size()}});
  const std::vector<uint8_t> ids = {117};
  // A loader that leaves the unpack alignment as it finds it reads this wrongly.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  TextureSet set{};
  loadTextureSet(makeTable(ids), set);

  Texels level0 = readLevel(set.names[0], 0);
  ASSERT_EQ(level0.width, 256);
  ASSERT_EQ(level0.height, 128);
  // Row 127 is left out: the system GLU's gluBuild2DMipmaps, when it scales
  // the width alone, leaves the top texel row black whatever the picture
  // (gluScaleImage on its own does not). Every other row must be right.
  for (int row = 0; row < 127; ++row) {
    const unsigned char* first = level0.at(0, row);
    const unsigned char* middle = level0.at(128, row);
    const unsigned char* last = level0.at(255, row);
    ASSERT_TRUE(first[1] > 150 && first[0] < 60 && first[2] < 60) << "row " << row << ": first column not green";
    ASSERT_TRUE(middle[0] == 100 && middle[1] == 100 && middle[2] == 100) << "row " << row << ": middle not grey";
    ASSERT_TRUE(last[0] > 150 && last[1] < 60 && last[2] < 60) << "row " << row << ": last column not red";
  }
}

TEST_F(TextureLoader, TexelRowZeroIsTheBottomRowAndColoursKeepTheirChannels) {
  // Stored bottom row first: a blue bottom row, a red top row, green between.
  std::vector<uint8_t> picture = makeStoredBitmap(4, 4, [](int, int row) {
    if (row == 0) return FixtureColour{0, 0, 255};
    if (row == 3) return FixtureColour{255, 0, 0};
    return FixtureColour{0, 255, 0};
  });
  setTestPictures({{150, picture.data(), picture.size()}});
  const std::vector<uint8_t> ids = {150};
  TextureSet set{};
  loadTextureSet(makeTable(ids), set);

  Texels level0 = readLevel(set.names[0], 0);
  ASSERT_EQ(level0.width, 4);
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(std::vector<int>(level0.at(x, 0), level0.at(x, 0) + 3), (std::vector<int>{0, 0, 255})) << x;
    EXPECT_EQ(std::vector<int>(level0.at(x, 3), level0.at(x, 3) + 3), (std::vector<int>{255, 0, 0})) << x;
  }
}

TEST_F(TextureLoader, APictureThatCannotBeLoadedLeavesOnlyItsOwnSlotEmpty) {
  std::vector<uint8_t> red = makeSolidBitmap(8, 8, {255, 0, 0});
  std::vector<uint8_t> green = makeSolidBitmap(16, 4, {0, 255, 0});
  std::vector<uint8_t> blue = makeSolidBitmap(4, 16, {0, 0, 255});
  std::vector<uint8_t> damaged = makeSolidBitmap(8, 8, {255, 255, 0});
  putU16At(damaged, 28, 32);  // 32 bits per pixel: refused by the reader

  struct MissingCase {
    const char* what;
    BitmapResource second;
  };
  const MissingCase cases[] = {
      {"no picture under the id", {199, damaged.data(), damaged.size()}},
      {"a picture the reader refuses", {202, damaged.data(), damaged.size()}},
  };
  for (const MissingCase& missing : cases) {
    setTestPictures({{201, red.data(), red.size()}, missing.second, {203, green.data(), green.size()},
                     {204, blue.data(), blue.size()}});
    const std::vector<uint8_t> ids = {201, 202, 203, 204};
    TextureSet set{};
    loadTextureSet(makeTable(ids), set);

    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), set.names[3]) << missing.what << ": the last slot stays bound";
    for (int a = 0; a < 4; ++a) {
      EXPECT_NE(set.names[a], 0u) << missing.what;
      for (int b = a + 1; b < 4; ++b) EXPECT_NE(set.names[a], set.names[b]) << missing.what;
    }
    EXPECT_EQ(readLevelWidth(set.names[1], 0), 0) << missing.what << ": slot 1 must have no image";

    struct Expected {
      int slot, width, height;
      std::vector<int> rgb;
    };
    const Expected expected[] = {{0, 8, 8, {255, 0, 0}}, {2, 16, 4, {0, 255, 0}}, {3, 4, 16, {0, 0, 255}}};
    for (const Expected& slot : expected) {
      Texels level0 = readLevel(set.names[slot.slot], 0);
      EXPECT_EQ(level0.width, slot.width) << missing.what << ", slot " << slot.slot;
      EXPECT_EQ(level0.height, slot.height) << missing.what << ", slot " << slot.slot;
      if (!level0.rgb.empty()) {
        EXPECT_EQ(std::vector<int>(level0.at(0, 0), level0.at(0, 0) + 3), slot.rgb)
            << missing.what << ", slot " << slot.slot << " holds another slot's picture";
      }
    }
  }
}

TEST_F(TextureLoader, SetsOnlyTheFiltersAndBuildsEveryMipmapLevel) {
  std::vector<uint8_t> picture = makeSolidBitmap(16, 4, {10, 20, 30});
  setTestPictures({{150, picture.data(), picture.size()}});
  const std::vector<uint8_t> ids = {150};
  TextureSet set{};
  loadTextureSet(makeTable(ids), set);

  GLint magnify = 0, minify = 0, wrapS = 0, wrapT = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magnify);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minify);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
  EXPECT_EQ(magnify, GL_LINEAR);
  EXPECT_EQ(minify, GL_LINEAR_MIPMAP_LINEAR);
  EXPECT_EQ(wrapS, GL_REPEAT);
  EXPECT_EQ(wrapT, GL_REPEAT);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << "the loader does not enable texturing";
  GLint internalFormat = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &internalFormat);
  EXPECT_TRUE(internalFormat == 3 || internalFormat == GL_RGB || internalFormat == GL_RGB8) << internalFormat;
  // 16 x 4 down to 1 x 1: five levels.
  EXPECT_EQ(readLevelWidth(set.names[0], 4), 1);
  EXPECT_EQ(readLevelWidth(set.names[0], 5), 0);
}

TEST_F(TextureLoader, ASecondLoadIntoAFreshContextGivesACompleteSetAgain) {
  std::vector<uint8_t> red = makeSolidBitmap(8, 8, {255, 0, 0});
  std::vector<uint8_t> wide = makeSolidBitmap(281, 128, {0, 0, 255});
  setTestPictures({{201, red.data(), red.size()}, {202, wide.data(), wide.size()}});
  const std::vector<uint8_t> ids = {201, 202};
  TextureSet set{};
  loadTextureSet(makeTable(ids), set);
  ASSERT_EQ(readLevelWidth(set.names[1], 0), 256);

  closeHeadlessGl();
  ASSERT_TRUE(openHeadlessGl(64, 64));
  loadTextureSet(makeTable(ids), set);
  EXPECT_EQ(readLevelWidth(set.names[0], 0), 8);
  Texels wideTexels = readLevel(set.names[1], 0);
  EXPECT_EQ(wideTexels.width, 256);
  EXPECT_EQ(wideTexels.height, 128);
  if (!wideTexels.rgb.empty()) {
    EXPECT_EQ(wideTexels.at(100, 100)[2], 255);
  }
}

TEST_F(TextureLoader, EveryProgramTableLoadsEverySlotAtItsListedSize) {
  for (const ListedProgram& program : listedPrograms) {
    setTestPictures(*program.embedded);
    TextureSet set{};
    loadTextureSet(*program.table, set);
    for (int slot = 0; slot < program.slotCount; ++slot) {
      PictureSize size = scaleToTextureSize(program.slots[slot].size);
      Texels level0 = readLevel(set.names[slot], 0);
      EXPECT_EQ(level0.width, size.width) << program.name << " slot " << slot;
      EXPECT_EQ(level0.height, size.height) << program.name << " slot " << slot;
      int levels = 0;
      for (int side = std::max(size.width, size.height); side > 1; side /= 2) ++levels;
      EXPECT_EQ(readLevelWidth(set.names[slot], levels), 1) << program.name << " slot " << slot << ": mipmaps to 1 x 1";
    }
  }
}

}  // namespace
