// The stored-bitmap reader: what it accepts, what it refuses, and that it
// never reads outside the bytes it is given.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/bitmaps.h"
#include "tests/textures/stored_bitmap_fixtures.h"

namespace {

// A copy of some bytes placed so that the byte after the last one is on an
// unreadable page: any read past the end faults, sanitizer or not.
class FencedBytes {
 public:
  explicit FencedBytes(const std::vector<uint8_t>& bytes) : size_(bytes.size()) {
    size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    dataPages_ = (size_ + page - 1) / page * page;
    if (dataPages_ == 0) dataPages_ = page;
    void* mapping = mmap(nullptr, dataPages_ + page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    mapping_ = static_cast<uint8_t*>(mapping);
    mprotect(mapping_ + dataPages_, page, PROT_NONE);
    data_ = mapping_ + dataPages_ - size_;
    if (size_ > 0) std::memcpy(data_, bytes.data(), size_);
    totalBytes_ = dataPages_ + page;
  }
  ~FencedBytes() { munmap(mapping_, totalBytes_); }
  FencedBytes(const FencedBytes&) = delete;
  FencedBytes& operator=(const FencedBytes&) = delete;

  const unsigned char* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  size_t size_;
  size_t dataPages_ = 0;
  size_t totalBytes_ = 0;
  uint8_t* mapping_ = nullptr;
  uint8_t* data_ = nullptr;
};

// 281 pixels wide: 843 bytes of pixels and one padding byte per row. The last
// column is a colour no other column has.
const FixtureColour lastColumnColour = {250, 20, 140};
std::vector<uint8_t> makeWideFixture() {
  return makeStoredBitmap(281, 128, [](int x, int row) {
    if (x == 280) return lastColumnColour;
    return FixtureColour{static_cast<uint8_t>(x), static_cast<uint8_t>(row), 60};
  });
}

TEST(StoredBitmapReader, AcceptsA281WidePictureWithRowPadding) {
  std::vector<uint8_t> bytes = makeWideFixture();
  ASSERT_EQ(bytes.size(), 54u + 844u * 128u);
  FencedBytes fenced(bytes);
  BitmapDescription description{};
  ASSERT_TRUE(parseStoredBitmap(fenced.data(), fenced.size(), &description));
  EXPECT_EQ(description.width, 281);
  EXPECT_EQ(description.height, 128);
  ASSERT_EQ(description.pixels, fenced.data() + 54);
  for (int row : {0, 1, 64, 127}) {
    const unsigned char* last = description.pixels + 844 * row + 280 * 3;
    EXPECT_EQ(last[0], lastColumnColour.b) << "row " << row;
    EXPECT_EQ(last[1], lastColumnColour.g) << "row " << row;
    EXPECT_EQ(last[2], lastColumnColour.r) << "row " << row;
    EXPECT_EQ(last[3], 0xA5) << "row " << row << ": the padding byte";
  }
}

TEST(StoredBitmapReader, RefusesEveryTruncationOfAValidPicture) {
  // 5 x 3: 15 pixel bytes + 1 padding byte per row. Cutting even the last
  // padding byte leaves the last row short.
  std::vector<uint8_t> bytes = makeSolidBitmap(5, 3, {1, 2, 3});
  for (size_t size = 0; size < bytes.size(); ++size) {
    std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + static_cast<long>(size));
    FencedBytes fenced(prefix);
    BitmapDescription description{};
    EXPECT_FALSE(parseStoredBitmap(fenced.data(), fenced.size(), &description)) << size << " bytes";
  }
  // And with the file size field agreeing with each truncation, too.
  for (size_t size = 54; size < bytes.size(); ++size) {
    std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + static_cast<long>(size));
    putU32At(prefix, 2, static_cast<uint32_t>(size));
    FencedBytes fenced(prefix);
    BitmapDescription description{};
    EXPECT_FALSE(parseStoredBitmap(fenced.data(), fenced.size(), &description)) << size << " bytes, size field agrees";
  }
}

struct DamageCase {
  const char* what;
  size_t offset;
  int fieldBytes;  // 2 or 4
  uint32_t value;
};

// Damage to one header field of a valid 5 x 3 picture (102 bytes).
const DamageCase damageCases[] = {
    {"magic is not BM", 0, 2, 'B' | 'A' << 8},
    {"file size beyond the data", 2, 4, 103},
    {"file size smaller than the headers", 2, 4, 20},
    {"pixel offset past the end", 10, 4, 103},
    {"pixel offset inside the headers", 10, 4, 40},
    {"pixel offset leaves the rows short", 10, 4, 58},
    {"pixel offset near 4 GB", 10, 4, 0xfffffff0U},
    {"info header of 12 bytes", 14, 4, 12},
    {"info header of 108 bytes", 14, 4, 108},
    {"info header of 124 bytes", 14, 4, 124},
    {"width zero", 18, 4, 0},
    {"width negative", 18, 4, static_cast<uint32_t>(-5)},
    {"width huge", 18, 4, 0x7fffffffU},
    {"width one over the cap", 18, 4, 16385},
    {"height zero", 22, 4, 0},
    {"height negative (top-down rows)", 22, 4, static_cast<uint32_t>(-3)},
    {"height huge", 22, 4, 0x40000000U},
    {"two planes", 26, 2, 2},
    {"zero planes", 26, 2, 0},
    {"8 bits per pixel", 28, 2, 8},
    {"32 bits per pixel", 28, 2, 32},
    {"16 bits per pixel", 28, 2, 16},
    {"RLE8 compression", 30, 4, 1},
    {"bit-field compression", 30, 4, 3},
    {"JPEG compression", 30, 4, 4},
    {"a colour table that cannot fit", 46, 4, 0xffffffffU},
};

TEST(StoredBitmapReader, RefusesDamagedHeaders) {
  for (const DamageCase& damage : damageCases) {
    std::vector<uint8_t> bytes = makeSolidBitmap(5, 3, {1, 2, 3});
    ASSERT_EQ(bytes.size(), 102u);
    if (damage.fieldBytes == 2) putU16At(bytes, damage.offset, damage.value);
    else putU32At(bytes, damage.offset, damage.value);
    FencedBytes fenced(bytes);
    BitmapDescription description{};
    EXPECT_FALSE(parseStoredBitmap(fenced.data(), fenced.size(), &description)) << damage.what;

    const BitmapResource entry = {150, fenced.data(), fenced.size()};
    BitmapHandle handle = loadBitmapFrom({&entry, 1}, 150);
    EXPECT_EQ(handle, nullptr) << damage.what;
    releaseBitmap(handle);
  }
}

TEST(StoredBitmapReader, RefusesSidesWhoseRowsWouldOverflow) {
  // Both sides at the cap would need 805 MB of rows; far beyond 32 bits once
  // the cap is lifted. Neither may pass by wrapping round.
  const uint32_t sides[][2] = {{16384, 16384}, {0x55555556U, 3}, {1, 0x80000000U}, {0x40000000U, 0x40000000U}};
  for (const auto& side : sides) {
    std::vector<uint8_t> bytes = makeSolidBitmap(5, 3, {1, 2, 3});
    putU32At(bytes, 18, side[0]);
    putU32At(bytes, 22, side[1]);
    FencedBytes fenced(bytes);
    BitmapDescription description{};
    EXPECT_FALSE(parseStoredBitmap(fenced.data(), fenced.size(), &description)) << side[0] << " x " << side[1];
  }
}

TEST(StoredBitmapReader, ComputesTheImageSizeAndHonoursTheHeaderFields) {
  struct AcceptCase {
    const char* what;
    size_t offset;
    uint32_t value;
    size_t extraBytes;
    size_t expectedPixelOffset;
  };
  const AcceptCase cases[] = {
      {"image size 0", 34, 0, 0, 54},
      {"image size wrong", 34, 999999, 0, 54},
      {"a gap before the pixels", 10, 58, 4, 58},
      {"bytes after the file", 2, 102, 16, 54},
  };
  for (const AcceptCase& accept : cases) {
    std::vector<uint8_t> bytes = makeSolidBitmap(5, 3, {1, 2, 3});
    bytes.insert(bytes.end(), accept.extraBytes, 0x5A);
    putU32At(bytes, 2, static_cast<uint32_t>(bytes.size()));
    putU32At(bytes, accept.offset, accept.value);
    FencedBytes fenced(bytes);
    BitmapDescription description{};
    ASSERT_TRUE(parseStoredBitmap(fenced.data(), fenced.size(), &description)) << accept.what;
    EXPECT_EQ(description.pixels, fenced.data() + accept.expectedPixelOffset) << accept.what;
    EXPECT_EQ(description.width, 5) << accept.what;
    EXPECT_EQ(description.height, 3) << accept.what;
  }
}

TEST(BitmapHandles, FindPicturesByIdAndDescribeThem) {
  std::vector<uint8_t> small = makeSolidBitmap(2, 2, {9, 8, 7});
  std::vector<uint8_t> wide = makeWideFixture();
  const BitmapResource entries[] = {{101, small.data(), small.size()}, {117, wide.data(), wide.size()}};
  const BitmapResourceTable table = {entries, 2};

  EXPECT_EQ(loadBitmapFrom(table, 102), nullptr);
  EXPECT_EQ(loadBitmapFrom({nullptr, 0}, 101), nullptr);

  BitmapHandle handle = loadBitmapFrom(table, 117);
  ASSERT_NE(handle, nullptr);
  BitmapDescription description{};
  ASSERT_NE(describeBitmap(handle, &description), 0);
  EXPECT_EQ(description.width, 281);
  EXPECT_EQ(description.height, 128);
  EXPECT_EQ(description.pixels, wide.data() + 54) << "pixels are read in place, not copied";
  releaseBitmap(handle);

  EXPECT_EQ(describeBitmap(nullptr, &description), 0);
  releaseBitmap(nullptr);
}

TEST(BitmapHandles, AFullPoolRefusesUntilAPictureIsReleased) {
  std::vector<uint8_t> bytes = makeSolidBitmap(2, 2, {9, 8, 7});
  const BitmapResource entry = {101, bytes.data(), bytes.size()};
  const BitmapResourceTable table = {&entry, 1};
  std::vector<BitmapHandle> held;
  for (int i = 0; i < 1000; ++i) {
    BitmapHandle handle = loadBitmapFrom(table, 101);
    if (handle == nullptr) break;
    for (BitmapHandle other : held) ASSERT_NE(other, handle) << "a held handle was given out twice";
    held.push_back(handle);
  }
  ASSERT_GE(held.size(), 2u);
  ASSERT_LT(held.size(), 1000u) << "the pool never filled: is it allocating?";

  releaseBitmap(held[0]);
  BitmapHandle again = loadBitmapFrom(table, 101);
  EXPECT_EQ(again, held[0]);
  BitmapDescription description{};
  EXPECT_NE(describeBitmap(held[1], &description), 0) << "releasing one handle must not release another";
  for (size_t i = 1; i < held.size(); ++i) releaseBitmap(held[i]);
  releaseBitmap(again);
}

}  // namespace
