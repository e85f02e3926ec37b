// The pictures each program embeds: the right ids at the right sizes, shared
// pictures identical across programs, and the pictures whose shape is fixed
// drawn to their radii and colours.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "tests/textures/listed_pictures.h"

namespace {

struct Picture {
  int width = 0;
  int height = 0;
  const unsigned char* pixels = nullptr;
  const unsigned char* file = nullptr;

  size_t rowBytes() const { return (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3); }
  size_t pixelBytes() const { return rowBytes() * height; }
  // Red, green, blue of the pixel at x, with row 0 the bottom row.
  const unsigned char* at(int x, int row) const { return pixels + rowBytes() * row + static_cast<size_t>(x) * 3; }
  int red(int x, int row) const { return at(x, row)[2]; }
  int green(int x, int row) const { return at(x, row)[1]; }
  int blue(int x, int row) const { return at(x, row)[0]; }
  int brightest(int x, int row) const { return std::max({red(x, row), green(x, row), blue(x, row)}); }
  // Distance of a pixel centre from the picture's centre.
  double radius(int x, int row) const { return std::hypot(x + 0.5 - width / 2.0, row + 0.5 - height / 2.0); }
};

Picture findPicture(const BitmapResourceTable& table, int id) {
  Picture picture;
  for (size_t i = 0; i < table.count; ++i) {
    if (static_cast<int>(table.entries[i].id) != id) continue;
    BitmapDescription description{};
    if (!parseStoredBitmap(table.entries[i].bytes, table.entries[i].size, &description)) return picture;
    picture.width = description.width;
    picture.height = description.height;
    picture.pixels = description.pixels;
    picture.file = table.entries[i].bytes;
  }
  return picture;
}

bool haveSamePixels(const Picture& a, const Picture& b) {
  return a.width == b.width && a.height == b.height && std::memcmp(a.pixels, b.pixels, a.pixelBytes()) == 0;
}

uint32_t readHeaderField(const Picture& picture, size_t offset) {
  const unsigned char* p = picture.file + offset;
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

TEST(TextureTables, ListTheIdsOfEveryProgramInSlotOrder) {
  for (const ListedProgram& program : listedPrograms) {
    ASSERT_EQ(program.table->count, program.slotCount) << program.name;
    for (int slot = 0; slot < program.slotCount; ++slot)
      EXPECT_EQ(program.table->ids[slot], program.slots[slot].id) << program.name << " slot " << slot;
  }
}

TEST(EmbeddedPictures, EachProgramCarriesEveryIdOfItsTableOnceAtItsListedSize) {
  for (const ListedProgram& program : listedPrograms) {
    ASSERT_EQ(program.embedded->count, static_cast<size_t>(program.slotCount)) << program.name;
    for (int slot = 0; slot < program.slotCount; ++slot) {
      const ListedSlot& listed = program.slots[slot];
      int copies = 0;
      for (size_t i = 0; i < program.embedded->count; ++i)
        copies += static_cast<int>(program.embedded->entries[i].id) == listed.id;
      EXPECT_EQ(copies, 1) << program.name << " id " << listed.id;
      Picture picture = findPicture(*program.embedded, listed.id);
      ASSERT_NE(picture.pixels, nullptr) << program.name << " id " << listed.id << " is missing or unreadable";
      EXPECT_EQ(picture.width, listed.size.width) << program.name << " id " << listed.id;
      EXPECT_EQ(picture.height, listed.size.height) << program.name << " id " << listed.id;
    }
  }
}

// The ids under which the programs carry one and the same picture (0: not
// carried).
struct SharedPicture {
  const char* content;
  int orrery;
  int planetSaver;
  int planetViewer;
};

const SharedPicture sharedPictures[] = {
    {"Earth", 124, 108, 110},
    {"grey speckled", 108, 107, 117},
    {"orange cratered", 105, 104, 107},
    {"Venus-like clouds", 128, 105, 109},
    {"Mars-like red", 104, 106, 111},
    {"Jupiter-like", 103, 114, 112},
    {"tan bands", 113, 116, 113},
    {"blue wavy bands", 127, 109, 114},
    {"Neptune-like", 109, 119, 115},
    {"blue-grey cloud bands", 111, 118, 116},
    {"Io-like", 102, 113, 118},
    {"ice with line network", 125, 111, 120},
    {"grey with dark patches", 119, 112, 121},
    {"dark grey with bright patches", 121, 110, 119},
    {"grey with dark spots", 110, 115, 122},
    {"sun glow", 0, 101, 104},
    {"inverted glow mask", 0, 103, 108},
    {"ring system", 0, 120, 123},
};

TEST(EmbeddedPictures, SharedPicturesHaveIdenticalPixelsInEveryProgram) {
  for (const SharedPicture& shared : sharedPictures) {
    Picture saver = findPicture(planetSaverBitmaps, shared.planetSaver);
    Picture viewer = findPicture(planetViewerBitmaps, shared.planetViewer);
    ASSERT_NE(saver.pixels, nullptr) << shared.content;
    ASSERT_NE(viewer.pixels, nullptr) << shared.content;
    EXPECT_TRUE(haveSamePixels(saver, viewer)) << shared.content;
    if (shared.orrery != 0) {
      Picture orrery = findPicture(orrerySaverBitmaps, shared.orrery);
      ASSERT_NE(orrery.pixels, nullptr) << shared.content;
      EXPECT_TRUE(haveSamePixels(orrery, saver)) << shared.content;
    }
  }
}

TEST(EmbeddedPictures, ThirtyDistinctPictures) {
  std::vector<Picture> distinct;
  for (size_t i = 0; i < orrerySaverBitmaps.count; ++i)
    distinct.push_back(findPicture(orrerySaverBitmaps, static_cast<int>(orrerySaverBitmaps.entries[i].id)));
  for (int id : {101, 103, 120}) distinct.push_back(findPicture(planetSaverBitmaps, id));
  ASSERT_EQ(distinct.size(), 30u);
  for (size_t a = 0; a < distinct.size(); ++a)
    for (size_t b = a + 1; b < distinct.size(); ++b)
      EXPECT_FALSE(haveSamePixels(distinct[a], distinct[b])) << "pictures " << a << " and " << b << " are the same";

  // Every header is the plain 24-bit kind; about half leave the image size 0
  // and the rest give it correctly.
  int zeroSizes = 0;
  for (const Picture& picture : distinct) {
    EXPECT_EQ(readHeaderField(picture, 46), 0u) << "colours used";
    uint32_t imageSize = readHeaderField(picture, 34);
    if (imageSize == 0) ++zeroSizes;
    else EXPECT_EQ(imageSize, picture.pixelBytes());
  }
  EXPECT_GE(zeroSizes, 10);
  EXPECT_LE(zeroSizes, 20);
}

TEST(ShapedPictures, SunGlowIsAPaleYellowDiscInAnEvenlyFadingYellowHalo) {
  Picture glow = findPicture(planetSaverBitmaps, 101);
  ASSERT_EQ(glow.width, 64);
  for (int row = 0; row < 64; ++row) {
    for (int x = 0; x < 64; ++x) {
      double r = glow.radius(x, row);
      if (r <= 6.4) {
        EXPECT_EQ(glow.red(x, row), 255) << x << "," << row;
        EXPECT_EQ(glow.green(x, row), 255) << x << "," << row;
        EXPECT_EQ(glow.blue(x, row), 111) << x << "," << row;
      } else if (r >= 32.0) {
        EXPECT_EQ(glow.brightest(x, row), 0) << x << "," << row << " lies outside the halo";
      } else if (r >= 7.6) {
        // Yellow: red leads, green close behind, blue well below.
        EXPECT_GE(glow.red(x, row), glow.green(x, row)) << x << "," << row;
        EXPECT_LE(glow.blue(x, row), glow.green(x, row) / 2 + 2) << x << "," << row;
      }
    }
  }
  // Along a radius the halo falls by the same step each pixel, to black.
  const int row = 32;
  EXPECT_GT(glow.red(40, row), 128) << "the halo starts bright";
  for (int x = 41; x < 63; ++x) {
    int before = glow.red(x - 1, row), here = glow.red(x, row), after = glow.red(x + 1, row);
    EXPECT_LT(here, before) << x;
    EXPECT_LE(std::abs(after - 2 * here + before), 2) << "uneven fade at x " << x;
  }
}

TEST(ShapedPictures, InvertedGlowMaskIsTheBrightnessComplementOfTheGlow) {
  Picture glow = findPicture(planetSaverBitmaps, 101);
  Picture mask = findPicture(planetSaverBitmaps, 103);
  ASSERT_EQ(mask.width, 64);
  for (int row = 0; row < 64; ++row) {
    for (int x = 0; x < 64; ++x) {
      ASSERT_EQ(mask.red(x, row), mask.green(x, row)) << x << "," << row;
      ASSERT_EQ(mask.red(x, row), mask.blue(x, row)) << x << "," << row;
      ASSERT_EQ(mask.red(x, row) + glow.brightest(x, row), 255) << x << "," << row;
    }
  }
  EXPECT_EQ(mask.red(32, 32), 0);
  EXPECT_EQ(mask.red(0, 0), 255);
}

TEST(ShapedPictures, RingSystemIsFineGreyBandsBetweenRadii128And248) {
  Picture ring = findPicture(planetSaverBitmaps, 120);
  ASSERT_EQ(ring.width, 512);
  double sum = 0.0, innerEdge = 0.0, middle = 0.0, outerEdge = 0.0;
  int count = 0, innerCount = 0, middleCount = 0, outerCount = 0;
  for (int row = 0; row < 512; ++row) {
    for (int x = 0; x < 512; ++x) {
      double r = ring.radius(x, row);
      int value = ring.red(x, row);
      ASSERT_EQ(value, ring.green(x, row));
      ASSERT_EQ(value, ring.blue(x, row));
      if (r < 128.0 || r > 250.0) {
        ASSERT_EQ(value, 0) << x << "," << row << " at radius " << r;
        continue;
      }
      if (r > 248.0) continue;
      sum += value;
      ++count;
      if (r < 132.0) innerEdge += value, ++innerCount;
      else if (r > 244.0) outerEdge += value, ++outerCount;
      else if (r > 160.0 && r < 220.0) middle += value, ++middleCount;
    }
  }
  EXPECT_NEAR(sum / count, 115.0, 10.0);
  EXPECT_LT(innerEdge / innerCount, 0.5 * middle / middleCount) << "fades in at the inner edge";
  EXPECT_LT(outerEdge / outerCount, 0.5 * middle / middleCount) << "fades out at the outer edge";

  // Fine bands: many separate peaks along one radius.
  int peaks = 0;
  for (int x = 256 + 130; x < 256 + 246; ++x) {
    int before = ring.red(x - 1, 256), here = ring.red(x, 256), after = ring.red(x + 1, 256);
    if (here > before && here >= after) ++peaks;
  }
  EXPECT_GE(peaks, 20);
}

TEST(ShapedPictures, RadialWhiteGlowFadesEvenlyFromGrey193ToBlackAtRadius64) {
  Picture glow = findPicture(orrerySaverBitmaps, 153);
  ASSERT_EQ(glow.width, 128);
  for (int row = 0; row < 128; ++row) {
    for (int x = 0; x < 128; ++x) {
      int value = glow.red(x, row);
      ASSERT_EQ(value, glow.green(x, row));
      ASSERT_EQ(value, glow.blue(x, row));
      double r = glow.radius(x, row);
      if (r >= 64.0) ASSERT_EQ(value, 0) << x << "," << row;
      else EXPECT_NEAR(value, 193.0 * (64.0 - r) / 64.0, 3.0) << x << "," << row;
    }
  }
  for (int x : {63, 64}) EXPECT_EQ(glow.red(x, 64), 193);
}

// Sphere textures: longitude wraps from the right edge to the left, so the
// step across that edge must look like any other step between columns.
TEST(SphereTextures, WrapRoundInLongitudeWithoutASeam) {
  for (size_t i = 0; i < orrerySaverBitmaps.count; ++i) {
    int id = static_cast<int>(orrerySaverBitmaps.entries[i].id);
    if (id == 153) continue;  // the radial glow is not a sphere texture
    Picture picture = findPicture(orrerySaverBitmaps, id);
    double seam = 0.0, step = 0.0;
    for (int row = 0; row < picture.height; ++row) {
      for (int channel = 0; channel < 3; ++channel) {
        seam += std::abs(picture.at(picture.width - 1, row)[channel] - picture.at(0, row)[channel]);
        for (int x = 0; x + 1 < picture.width; ++x)
          step += std::abs(picture.at(x + 1, row)[channel] - picture.at(x, row)[channel]);
      }
    }
    seam /= picture.height * 3.0;
    step /= picture.height * 3.0 * (picture.width - 1);
    EXPECT_LE(seam, 2.0 * step + 1.0) << "id " << id << ": a seam at the left/right edge";
  }
}

// A broad check of each orrery picture's colour against its content words.
TEST(SphereTextures, ColoursFitTheirContent) {
  struct Mean {
    double r, g, b;
  };
  using Check = std::function<bool(Mean)>;
  const Check grey = [](Mean m) { return std::fabs(m.r - m.b) < 12 && std::fabs(m.r - m.g) < 12; };
  const Check orange = [](Mean m) { return m.r > m.g + 30 && m.g > m.b + 20; };
  const Check blue = [](Mean m) { return m.b > m.r + 30; };
  struct ColourCase {
    int id;
    const char* content;
    Check fits;
  };
  const ColourCase cases[] = {
      {124, "Earth: mostly ocean", [](Mean m) { return m.b > m.r && m.b > m.g; }},
      {108, "grey speckled", grey},
      {149, "sun: red-yellow", [](Mean m) { return m.r > 200 && m.g > 60 && m.b < 60; }},
      {105, "orange cratered", orange},
      {128, "yellow-orange clouds", orange},
      {104, "Mars-like red", [](Mean m) { return m.r > 1.6 * m.g && m.r > 2.0 * m.b; }},
      {103, "Jupiter-like", [](Mean m) { return m.r > m.g && m.g > m.b; }},
      {113, "tan bands", [](Mean m) { return m.r > m.g && m.g > m.b && m.r > 150; }},
      {127, "blue wavy bands", blue},
      {109, "deep blue", [](Mean m) { return m.b > 2.0 * m.r && m.b > 120; }},
      {111, "blue-grey", [](Mean m) { return m.b > m.r + 5 && m.b < m.r + 50; }},
      {102, "Io-like yellow", [](Mean m) { return m.r > 150 && m.g > 100 && m.b < m.g - 40; }},
      {125, "white ice", [](Mean m) { return m.r > 190 && m.g > 180 && m.b > 160; }},
      {119, "grey", grey},
      {121, "dark grey", [grey](Mean m) { return grey(m) && m.r < 110; }},
      {112, "white icy", [](Mean m) { return m.r > 215 && m.g > 215 && m.b > 220; }},
      {106, "grey", grey},
      {117, "grey", grey},
      {123, "grey", grey},
      {118, "orange", orange},
      {107, "grey", grey},
      {120, "grey", grey},
      {129, "grey", grey},
      {110, "grey", grey},
      {126, "grey", grey},
      {122, "brown-beige", [](Mean m) { return m.r > m.g + 15 && m.g > m.b + 15; }},
  };
  for (const ColourCase& colourCase : cases) {
    Picture picture = findPicture(orrerySaverBitmaps, colourCase.id);
    ASSERT_NE(picture.pixels, nullptr) << colourCase.id;
    Mean mean = {0, 0, 0};
    for (int row = 0; row < picture.height; ++row) {
      for (int x = 0; x < picture.width; ++x) {
        mean.r += picture.red(x, row);
        mean.g += picture.green(x, row);
        mean.b += picture.blue(x, row);
      }
    }
    double pixels = static_cast<double>(picture.width) * picture.height;
    mean = {mean.r / pixels, mean.g / pixels, mean.b / pixels};
    EXPECT_TRUE(colourCase.fits(mean)) << "id " << colourCase.id << " (" << colourCase.content << ") averages "
                                       << mean.r << ", " << mean.g << ", " << mean.b;
  }
}

TEST(ProgramIcon, IsA16ColourYellowSunAmongWhiteStars) {
  std::FILE* file = std::fopen(ORRELIA_PICTURE_DIR "/icon.bmp", "rb");
  ASSERT_NE(file, nullptr);
  std::vector<unsigned char> bytes(4096);
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
  std::fclose(file);
  ASSERT_GE(bytes.size(), 54u + 64u + 16u * 32u);
  auto field = [&](size_t offset, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes[offset + i];
    return value;
  };
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[1], 'M');
  EXPECT_EQ(field(18, 4), 32u);
  EXPECT_EQ(field(22, 4), 32u);
  EXPECT_EQ(field(28, 2), 4u) << "bits per pixel";
  EXPECT_EQ(field(46, 4), 16u) << "colours used";
  size_t pixelOffset = field(10, 4);
  ASSERT_EQ(bytes.size(), pixelOffset + 16u * 32u);
  auto colourAt = [&](int x, int row) {
    int index = (bytes[pixelOffset + row * 16 + x / 2] >> (x % 2 == 0 ? 4 : 0)) & 15;
    const unsigned char* entry = &bytes[54 + index * 4];
    return std::vector<int>{entry[2], entry[1], entry[0]};
  };
  std::vector<int> centre = colourAt(15, 15);
  EXPECT_GT(centre[0], 200);
  EXPECT_GT(centre[1], 200);
  EXPECT_LT(centre[2], 80) << "the sun is yellow";
  int white = 0, black = 0;
  for (int row = 0; row < 32; ++row)
    for (int x = 0; x < 32; ++x) {
      std::vector<int> colour = colourAt(x, row);
      if (std::hypot(x - 15.0, row - 15.0) < 8.0) continue;
      white += colour == std::vector<int>{255, 255, 255};
      black += colour == std::vector<int>{0, 0, 0};
    }
  EXPECT_GE(white, 6) << "white star dots";
  EXPECT_GT(black, 32 * 32 / 2) << "on black";
}

}  // namespace
