// The platform's code page 932 table: iconv on Linux, the code page functions on Windows. Both
// are asked one character at a time, so a character either has a mapping or it has none.
#include "cp932_text.h"

#ifdef _WIN32

#include <windows.h>

bool cp932_converter_ready() {
  return IsValidCodePage(932) != FALSE;
}

bool append_cp932_char(const char* bytes, size_t len, std::string* out) {
  wchar_t wide[2];
  int wide_len =
      MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, static_cast<int>(len), wide, 2);
  if (wide_len == 0) return false;
  char utf8[8];
  int utf8_len =
      WideCharToMultiByte(CP_UTF8, 0, wide, wide_len, utf8, sizeof utf8, nullptr, nullptr);
  if (utf8_len == 0) return false;
  out->append(utf8, static_cast<size_t>(utf8_len));
  return true;
}

#else

#include <iconv.h>

namespace {

// Opened once and kept: the program converts thousands of single characters.
iconv_t converter() {
  static iconv_t cd = iconv_open("UTF-8", "CP932");
  return cd;
}

}  // namespace

bool cp932_converter_ready() {
  return converter() != reinterpret_cast<iconv_t>(-1);
}

bool append_cp932_char(const char* bytes, size_t len, std::string* out) {
  iconv_t cd = converter();
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  char in_copy[2] = {bytes[0], len > 1 ? bytes[1] : '\0'};
  char utf8[8];
  char* in = in_copy;
  char* to = utf8;
  size_t in_left = len;
  size_t out_left = sizeof utf8;
  if (iconv(cd, &in, &in_left, &to, &out_left) == static_cast<size_t>(-1) || in_left != 0) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state for the next one
    return false;
  }
  out->append(utf8, static_cast<size_t>(to - utf8));
  return true;
}

#endif
