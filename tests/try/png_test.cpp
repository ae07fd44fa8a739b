// update-try's pictures: every PNG the encoder writes is read back by zlib, the reference
// decoder, into exactly the pixels it was given: flat dialogs, noise that leaves nothing to
// match, runs longer than one match, repeats as far back as deflate can reach.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "case_name.h"
#include "drive/png.h"

namespace {

uint32_t be32(const std::string& s, size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(s[at])) << 24 |
         static_cast<uint32_t>(static_cast<unsigned char>(s[at + 1])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(s[at + 2])) << 8 |
         static_cast<unsigned char>(s[at + 3]);
}

int paeth(int a, int b, int c) {
  int p = a + b - c;
  int pa = std::abs(p - a);
  int pb = std::abs(p - b);
  int pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

// The pixels of an 8-bit RGB PNG, each chunk's CRC checked; fails the test on anything else.
std::vector<uint32_t> decode(const std::string& png, int width, int height) {
  std::vector<uint32_t> pixels;
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1A\n");
  std::string idat;
  for (size_t at = 8; at + 12 <= png.size();) {
    uint32_t length = be32(png, at);
    std::string type = png.substr(at + 4, 4);
    std::string data = png.substr(at + 8, length);
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(png.data() + at + 4), length + 4);
    EXPECT_EQ(crc, be32(png, at + 8 + length)) << type;
    if (type == "IHDR") {
      EXPECT_EQ(be32(data, 0), static_cast<uint32_t>(width));
      EXPECT_EQ(be32(data, 4), static_cast<uint32_t>(height));
      EXPECT_EQ(data.substr(8), std::string("\x08\x02\x00\x00\x00", 5));
    }
    if (type == "IDAT") idat += data;
    at += 12 + length;
  }
  size_t stride = static_cast<size_t>(width) * 3;
  std::string raw((stride + 1) * height, '\0');
  uLongf size = raw.size();
  EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(raw.data()), &size,
                       reinterpret_cast<const Bytef*>(idat.data()), idat.size()),
            Z_OK);
  EXPECT_EQ(size, raw.size());
  std::vector<int> above(stride, 0);
  for (int y = 0; y < height; ++y) {
    int filter = static_cast<unsigned char>(raw[y * (stride + 1)]);
    std::vector<int> row(stride);
    for (size_t x = 0; x < stride; ++x) {
      int a = x >= 3 ? row[x - 3] : 0;
      int b = above[x];
      int c = x >= 3 ? above[x - 3] : 0;
      int predicted = filter == 1   ? a
                      : filter == 2 ? b
                      : filter == 3 ? (a + b) / 2
                      : filter == 4 ? paeth(a, b, c)
                                    : 0;
      row[x] = (static_cast<unsigned char>(raw[y * (stride + 1) + 1 + x]) + predicted) & 0xFF;
    }
    for (size_t x = 0; x < stride; x += 3) {
      pixels.push_back(static_cast<uint32_t>(row[x] << 16 | row[x + 1] << 8 | row[x + 2]));
    }
    above = row;
  }
  return pixels;
}

struct PictureCase {
  const char* name;
  int width;
  int height;
  std::function<uint32_t(int x, int y)> pixel;
};

uint32_t noise(int x, int y) {
  uint32_t v = static_cast<uint32_t>(x) * 2654435761U ^ static_cast<uint32_t>(y) * 40503U;
  v ^= v >> 13;
  return (v * 2246822519U) & 0xFFFFFF;
}

const PictureCase kPictureCases[] = {
    {"one_pixel", 1, 1, [](int, int) { return 0x123456U; }},
    {"flat_dialog_with_a_line_of_text", 361, 153,
     [](int x, int y) { return y == 40 && x % 7 < 3 ? 0x000000U : 0xF0F0F0U; }},
    {"noise", 97, 61, noise},
    {"one_long_row", 2000, 1, [](int x, int) { return x < 1500 ? 0xFFFFFFU : 0x0000FFU; }},
    // A band of noise repeated 32,000 bytes further on: the farthest matches deflate allows.
    {"repeat_at_the_window_edge", 400, 60,
     [](int x, int y) { return noise(x, y % 27) ^ (y >= 27 ? 0 : 0x10U); }},
    {"one_column", 1, 300, [](int, int y) { return static_cast<uint32_t>(y % 256) * 0x010101U; }},
};

void PrintTo(const PictureCase& c, std::ostream* os) {
  *os << c.name;
}

class PngTable : public testing::TestWithParam<PictureCase> {};

TEST_P(PngTable, ReadsBackPixelForPixel) {
  const PictureCase& c = GetParam();
  std::vector<uint32_t> pixels;
  for (int y = 0; y < c.height; ++y) {
    for (int x = 0; x < c.width; ++x)
      pixels.push_back(c.pixel(x, y));
  }
  std::string png = png_of(c.width, c.height, pixels);
  EXPECT_EQ(decode(png, c.width, c.height), pixels);
}

INSTANTIATE_TEST_SUITE_P(Try, PngTable, testing::ValuesIn(kPictureCases), CaseName());

// Compressed at all: a flat picture of 240,000 bytes of pixels takes under 1% of them.
TEST(Png, FlatPictureIsSmall) {
  std::vector<uint32_t> pixels(size_t{400} * 200, 0xF0F0F0U);
  EXPECT_LT(png_of(400, 200, pixels).size(), 400u * 200 * 3 / 100);
}

}  // namespace
