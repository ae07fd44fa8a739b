// UTF-8 to code page 932, one character at a time, each one read back to prove it exact.
#include "cp932_encode.h"

#include <cstdio>

#include "check/cp932_text.h"

namespace {

constexpr char32_t kMaxCodePoint = 0x10FFFF;

// Length of the UTF-8 character at the start of s and its code point; 0 when it is malformed
// (a stray continuation byte, a cut sequence, an overlong form, a surrogate, beyond U+10FFFF).
size_t next_utf8_char(std::string_view s, char32_t* code_point) {
  auto b = static_cast<unsigned char>(s[0]);
  size_t len = b < 0x80             ? 1
               : (b & 0xE0) == 0xC0 ? 2
               : (b & 0xF0) == 0xE0 ? 3
               : (b & 0xF8) == 0xF0 ? 4
                                    : 0;
  if (len == 0 || len > s.size()) return 0;
  char32_t c = len == 1 ? b : b & (0x7F >> len);
  for (size_t i = 1; i < len; ++i) {
    auto next = static_cast<unsigned char>(s[i]);
    if ((next & 0xC0) != 0x80) return 0;
    c = (c << 6) | (next & 0x3F);
  }
  const char32_t shortest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < shortest[len] || c > kMaxCodePoint || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  *code_point = c;
  return len;
}

bool encodes_exactly(std::string_view utf8_char, std::string* out) {
  if (utf8_char.size() == 1) {  // ASCII is itself in code page 932
    *out += utf8_char[0];
    return true;
  }
  std::string bytes;
  std::string back;
  if (!append_utf8_char_as_cp932(utf8_char, &bytes)) return false;
  if (!append_cp932_char(bytes.data(), bytes.size(), &back) || back != utf8_char) return false;
  *out += bytes;
  return true;
}

}  // namespace

Cp932Text utf8_to_cp932(std::string_view utf8) {
  Cp932Text text;
  text.bytes.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    char32_t c = 0;
    size_t len = next_utf8_char(utf8.substr(i), &c);
    if (len == 0) {
      text.valid_utf8 = false;
      return text;
    }
    if (!encodes_exactly(utf8.substr(i, len), &text.bytes)) {
      bool seen = false;
      for (char32_t earlier : text.lacking)
        seen = seen || earlier == c;
      if (!seen) text.lacking.push_back(c);
    }
    i += len;
  }
  return text;
}

std::string describe_char(char32_t c) {
  char code[16];
  (void)snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
  if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return code;
  std::string utf8;
  if (c < 0x80) {
    utf8 += static_cast<char>(c);
  } else if (c < 0x800) {
    utf8 += static_cast<char>(0xC0 | (c >> 6));
    utf8 += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    utf8 += static_cast<char>(0xE0 | (c >> 12));
    utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    utf8 += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    utf8 += static_cast<char>(0xF0 | (c >> 18));
    utf8 += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    utf8 += static_cast<char>(0x80 | (c & 0x3F));
  }
  return utf8 + " (" + code + ")";
}

std::string cp932_failure(const Cp932Text& text) {
  if (!text.valid_utf8) return "not UTF-8";
  std::string chars;
  for (char32_t c : text.lacking)
    chars += (chars.empty() ? "" : ", ") + describe_char(c);
  return "no code page 932 form for " + chars;
}

#ifdef _WIN32

#include <windows.h>

bool append_utf8_char_as_cp932(std::string_view utf8_char, std::string* out) {
  wchar_t wide[2];
  int wide_len = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8_char.data(),
                                     static_cast<int>(utf8_char.size()), wide, 2);
  if (wide_len == 0) return false;
  // Without best-fit mappings Windows puts its default character where it has no exact one, and
  // says so.
  char bytes[4];
  BOOL used_default = FALSE;
  int len = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide, wide_len, bytes, sizeof bytes,
                                nullptr, &used_default);
  if (len == 0 || used_default) return false;
  out->append(bytes, static_cast<size_t>(len));
  return true;
}

#else

#include <iconv.h>

namespace {

iconv_t encoder() {
  static iconv_t cd = iconv_open("CP932", "UTF-8");
  return cd;
}

}  // namespace

bool append_utf8_char_as_cp932(std::string_view utf8_char, std::string* out) {
  iconv_t cd = encoder();
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  char in_copy[4] = {};
  utf8_char.copy(in_copy, sizeof in_copy);
  char bytes[8];
  char* in = in_copy;
  char* to = bytes;
  size_t in_left = utf8_char.size();
  size_t out_left = sizeof bytes;
  if (iconv(cd, &in, &in_left, &to, &out_left) == static_cast<size_t>(-1) || in_left != 0) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state for the next one
    return false;
  }
  out->append(bytes, static_cast<size_t>(to - bytes));
  return true;
}

#endif
