// The Linux half of code_page.h: glibc's iconv.
#include "code_page.h"

#include <iconv.h>

namespace {

// Opened once and kept: the tools convert thousands of single characters.
iconv_t decoder() {
  static iconv_t cd = iconv_open("UTF-8", "CP932");
  return cd;
}

iconv_t encoder() {
  static iconv_t cd = iconv_open("CP932", "UTF-8");
  return cd;
}

// One character of at most four bytes through cd; false when it has no form there.
bool convert_one(iconv_t cd, std::string_view in_bytes, std::string* out) {
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  char in_copy[4] = {};
  in_bytes.copy(in_copy, sizeof in_copy);
  char converted[8];
  char* in = in_copy;
  char* to = converted;
  size_t in_left = in_bytes.size();
  size_t out_left = sizeof converted;
  if (iconv(cd, &in, &in_left, &to, &out_left) == static_cast<size_t>(-1) || in_left != 0) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state for the next one
    return false;
  }
  out->append(converted, static_cast<size_t>(to - converted));
  return true;
}

}  // namespace

bool cp932_converter_ready() {
  return decoder() != reinterpret_cast<iconv_t>(-1) && encoder() != reinterpret_cast<iconv_t>(-1);
}

bool append_cp932_char(const char* bytes, size_t len, std::string* out) {
  return convert_one(decoder(), std::string_view(bytes, len), out);
}

bool append_utf8_char_as_cp932(std::string_view utf8_char, std::string* out) {
  return utf8_char.size() <= 4 && convert_one(encoder(), utf8_char, out);
}

// The Linux build converts names itself, as a Japanese Windows would.
unsigned ansi_code_page() {
  return 932;
}
