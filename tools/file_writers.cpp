#include "tools/file_writers.h"

#include <cstdio>

namespace {

void putU16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void putU32(std::vector<uint8_t>& out, uint32_t value) {
  putU16(out, value & 0xffffU);
  putU16(out, value >> 16);
}

void putU32BigEndian(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value >> 24));
  out.push_back(static_cast<uint8_t>(value >> 16));
  out.push_back(static_cast<uint8_t>(value >> 8));
  out.push_back(static_cast<uint8_t>(value));
}

void putBitmapHeaders(std::vector<uint8_t>& out, int width, int height, int bitsPerPixel, uint32_t paletteBytes,
                      uint32_t imageBytes, bool recordImageSize, int32_t pixelsPerMetre, uint32_t coloursUsed) {
  uint32_t offset = 14 + 40 + paletteBytes;
  out.push_back('B');
  out.push_back('M');
  putU32(out, offset + imageBytes);
  putU32(out, 0);  // two reserved 16-bit fields
  putU32(out, offset);
  putU32(out, 40);
  putU32(out, static_cast<uint32_t>(width));
  putU32(out, static_cast<uint32_t>(height));  // positive: bottom row first
  putU16(out, 1);
  putU16(out, static_cast<uint32_t>(bitsPerPixel));
  putU32(out, 0);  // BI_RGB
  putU32(out, recordImageSize ? imageBytes : 0);
  putU32(out, static_cast<uint32_t>(pixelsPerMetre));
  putU32(out, static_cast<uint32_t>(pixelsPerMetre));
  putU32(out, coloursUsed);
  putU32(out, 0);
}

uint32_t updateCrc(uint32_t crc, const uint8_t* bytes, size_t size) {
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xedb88320U & (0U - (crc & 1U)));
  }
  return ~crc;
}

void putPngChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  putU32BigEndian(out, static_cast<uint32_t>(data.size()));
  size_t typeStart = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  putU32BigEndian(out, updateCrc(0, out.data() + typeStart, out.size() - typeStart));
}

}  // namespace

std::vector<uint8_t> encodeBitmap24(const ByteImage& image, bool recordImageSize, int32_t pixelsPerMetre) {
  uint32_t rowBytes = (static_cast<uint32_t>(image.width) * 3 + 3) & ~3U;
  uint32_t imageBytes = rowBytes * static_cast<uint32_t>(image.height);
  std::vector<uint8_t> out;
  out.reserve(54 + imageBytes);
  putBitmapHeaders(out, image.width, image.height, 24, 0, imageBytes, recordImageSize, pixelsPerMetre, 0);
  for (int y = 0; y < image.height; ++y) {
    const uint8_t* row = &image.rgb[static_cast<size_t>(y) * image.width * 3];
    for (int x = 0; x < image.width; ++x) {
      out.push_back(row[x * 3 + 2]);
      out.push_back(row[x * 3 + 1]);
      out.push_back(row[x * 3 + 0]);
    }
    for (uint32_t pad = static_cast<uint32_t>(image.width) * 3; pad < rowBytes; ++pad) out.push_back(0);
  }
  return out;
}

std::vector<uint8_t> encodeBitmap4(int width, int height, const uint8_t* indices, const uint8_t palette[16][3]) {
  uint32_t rowBytes = ((static_cast<uint32_t>(width) + 1) / 2 + 3) & ~3U;
  uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height);
  std::vector<uint8_t> out;
  putBitmapHeaders(out, width, height, 4, 16 * 4, imageBytes, true, 2835, 16);
  for (int i = 0; i < 16; ++i) {
    out.push_back(palette[i][2]);
    out.push_back(palette[i][1]);
    out.push_back(palette[i][0]);
    out.push_back(0);
  }
  for (int y = 0; y < height; ++y) {
    size_t rowStart = out.size();
    for (int x = 0; x < width; x += 2) {
      uint8_t high = indices[y * width + x] & 15;
      uint8_t low = x + 1 < width ? indices[y * width + x + 1] & 15 : 0;
      out.push_back(static_cast<uint8_t>(high << 4 | low));
    }
    while (out.size() - rowStart < rowBytes) out.push_back(0);
  }
  return out;
}

std::vector<uint8_t> encodePng(const ByteImage& image) {
  std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  std::vector<uint8_t> header;
  putU32BigEndian(header, static_cast<uint32_t>(image.width));
  putU32BigEndian(header, static_cast<uint32_t>(image.height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, no interlace
  putPngChunk(out, "IHDR", header);

  // Raw scanlines, top row first, each led by filter type 0.
  std::vector<uint8_t> raw;
  for (int y = image.height - 1; y >= 0; --y) {
    raw.push_back(0);
    const uint8_t* row = &image.rgb[static_cast<size_t>(y) * image.width * 3];
    raw.insert(raw.end(), row, row + image.width * 3);
  }
  // A zlib stream of stored deflate blocks.
  std::vector<uint8_t> zlib = {0x78, 0x01};
  for (size_t start = 0; start < raw.size() || start == 0; start += 65535) {
    size_t length = raw.size() - start < 65535 ? raw.size() - start : 65535;
    zlib.push_back(start + length >= raw.size() ? 1 : 0);
    putU16(zlib, static_cast<uint32_t>(length));
    putU16(zlib, static_cast<uint32_t>(~length & 0xffffU));
    zlib.insert(zlib.end(), raw.begin() + static_cast<long>(start), raw.begin() + static_cast<long>(start + length));
    if (raw.empty()) break;
  }
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521U;
    b = (b + a) % 65521U;
  }
  putU32BigEndian(zlib, b << 16 | a);
  putPngChunk(out, "IDAT", zlib);
  putPngChunk(out, "IEND", {});
  return out;
}

bool writeFile(const char* path, const std::vector<uint8_t>& bytes) {
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}
