// Pictures as PNG files; see png.h. The format: RFC 2083 (PNG), 1950 (zlib) and 1951 (deflate).
#include "png.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {

constexpr int kWindow = 32768;  // deflate's farthest distance
constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 258;
constexpr int kHashBits = 15;

uint32_t crc32_of(const std::string& bytes) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k)
        c = (c & 1) != 0 ? 0xEDB88320U ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  uint32_t c = 0xFFFFFFFFU;
  for (unsigned char b : bytes)
    c = table[(c ^ b) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFU;
}

uint32_t adler32_of(const std::string& bytes) {
  uint32_t a = 1;
  uint32_t b = 0;
  for (unsigned char c : bytes) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

void put_u32(std::string* out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8)
    *out += static_cast<char>((v >> shift) & 0xFF);
}

// Deflate's bits go out from the least significant end of each byte.
class BitWriter {
 public:
  void bits(uint32_t value, int count) {
    for (int i = 0; i < count; ++i) {
      if (used_ == 0) out_ += '\0';
      if (((value >> i) & 1) != 0) out_.back() = static_cast<char>(out_.back() | (1 << used_));
      used_ = (used_ + 1) % 8;
    }
  }
  // A Huffman code goes out from its most significant bit.
  void code(uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i)
      bits((value >> i) & 1, 1);
  }
  std::string take() { return std::move(out_); }

 private:
  std::string out_;
  int used_ = 0;
};

// The fixed literal/length code of deflate (RFC 1951, 3.2.6).
void put_symbol(BitWriter* w, int symbol) {
  if (symbol < 144) {
    w->code(0x30 + symbol, 8);
  } else if (symbol < 256) {
    w->code(0x190 + symbol - 144, 9);
  } else if (symbol < 280) {
    w->code(symbol - 256, 7);
  } else {
    w->code(0xC0 + symbol - 280, 8);
  }
}

constexpr std::array<int, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                             15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                             67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<int, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                              2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<int, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<int, 30> kDistanceExtra = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// The last entry whose base is at most value.
template <size_t N>
int slot_of(const std::array<int, N>& base, int value) {
  int slot = 0;
  while (slot + 1 < static_cast<int>(N) && base[slot + 1] <= value)
    ++slot;
  return slot;
}

void put_match(BitWriter* w, int length, int distance) {
  int l = slot_of(kLengthBase, length);
  put_symbol(w, 257 + l);
  w->bits(length - kLengthBase[l], kLengthExtra[l]);
  int d = slot_of(kDistanceBase, distance);
  w->code(d, 5);
  w->bits(distance - kDistanceBase[d], kDistanceExtra[d]);
}

uint32_t hash_at(const std::string& data, size_t i) {
  uint32_t v = static_cast<unsigned char>(data[i]) | static_cast<unsigned char>(data[i + 1]) << 8 |
               static_cast<unsigned char>(data[i + 2]) << 16;
  return (v * 2654435761U) >> (32 - kHashBits);
}

// One block with the fixed codes; matches found through a table of the last place each three
// bytes were seen.
std::string deflate(const std::string& data) {
  BitWriter w;
  w.bits(1, 1);  // the last block
  w.bits(1, 2);  // fixed codes
  std::vector<int> last(size_t{1} << kHashBits, -1);
  size_t i = 0;
  while (i < data.size()) {
    int length = 0;
    int distance = 0;
    if (i + kMinMatch <= data.size()) {
      uint32_t h = hash_at(data, i);
      int candidate = last[h];
      last[h] = static_cast<int>(i);
      if (candidate >= 0 && static_cast<int>(i) - candidate <= kWindow) {
        size_t limit = std::min(data.size() - i, static_cast<size_t>(kMaxMatch));
        size_t n = 0;
        while (n < limit && data[candidate + n] == data[i + n])
          ++n;
        if (n >= kMinMatch) {
          length = static_cast<int>(n);
          distance = static_cast<int>(i) - candidate;
        }
      }
    }
    if (length == 0) {
      put_symbol(&w, static_cast<unsigned char>(data[i]));
      ++i;
      continue;
    }
    put_match(&w, length, distance);
    for (size_t k = i + 1; k < i + length && k + kMinMatch <= data.size(); ++k)
      last[hash_at(data, k)] = static_cast<int>(k);
    i += length;
  }
  put_symbol(&w, 256);  // end of block
  return w.take();
}

int paeth(int a, int b, int c) {
  int p = a + b - c;
  int pa = std::abs(p - a);
  int pb = std::abs(p - b);
  int pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

// A row filtered with each of PNG's five filters; the one whose bytes, taken as signed, sum
// smallest in size is kept (the heuristic PNG's own documents suggest for truecolour rows).
std::string filtered_row(const std::string& row, const std::string& above) {
  constexpr int kBpp = 3;
  std::string best;
  long best_cost = -1;
  for (int filter = 0; filter < 5; ++filter) {
    std::string out(1, static_cast<char>(filter));
    long cost = 0;
    for (size_t x = 0; x < row.size(); ++x) {
      int a = x >= kBpp ? static_cast<unsigned char>(row[x - kBpp]) : 0;
      int b = static_cast<unsigned char>(above[x]);
      int c = x >= kBpp ? static_cast<unsigned char>(above[x - kBpp]) : 0;
      int predicted = filter == 1   ? a
                      : filter == 2 ? b
                      : filter == 3 ? (a + b) / 2
                      : filter == 4 ? paeth(a, b, c)
                                    : 0;
      auto value = static_cast<unsigned char>(static_cast<unsigned char>(row[x]) - predicted);
      out += static_cast<char>(value);
      cost += value < 128 ? value : 256 - value;
    }
    if (best_cost < 0 || cost < best_cost) {
      best_cost = cost;
      best = std::move(out);
    }
  }
  return best;
}

std::string chunk(const char* type, const std::string& data) {
  std::string body = std::string(type, 4) + data;
  std::string out;
  put_u32(&out, static_cast<uint32_t>(data.size()));
  out += body;
  put_u32(&out, crc32_of(body));
  return out;
}

}  // namespace

std::string png_of(int width, int height, const std::vector<uint32_t>& pixels) {
  std::string raw;
  std::string above(static_cast<size_t>(width) * 3, '\0');
  for (int y = 0; y < height; ++y) {
    std::string row;
    for (int x = 0; x < width; ++x) {
      uint32_t p = pixels[static_cast<size_t>(y) * width + x];
      row += static_cast<char>((p >> 16) & 0xFF);
      row += static_cast<char>((p >> 8) & 0xFF);
      row += static_cast<char>(p & 0xFF);
    }
    raw += filtered_row(row, above);
    above = row;
  }
  std::string header;
  put_u32(&header, static_cast<uint32_t>(width));
  put_u32(&header, static_cast<uint32_t>(height));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, filters, no interlace
  std::string zlib = "\x78\x01" + deflate(raw);
  put_u32(&zlib, adler32_of(raw));
  return "\x89PNG\r\n\x1A\n" + chunk("IHDR", header) + chunk("IDAT", zlib) + chunk("IEND", "");
}
