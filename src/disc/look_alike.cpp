// The table of look-alikes: mostly the characters that the JIS and the Microsoft tables of code
// page 932 map differently, and the Latin-1 signs whose full-width forms code page 932 holds.
#include "look_alike.h"

#include "cp932_text.h"

namespace {

struct LookAlike {
  char32_t from;
  char32_t to;
};

constexpr LookAlike kLookAlikes[] = {
    {0x00A2, 0xFFE0},  // ¢ → ￠
    {0x00A3, 0xFFE1},  // £ → ￡
    {0x00A5, 0xFFE5},  // ¥ → ￥ (0x5C is the backslash to Windows)
    {0x00A6, 0xFFE4},  // ¦ → ￤
    {0x00AC, 0xFFE2},  // ¬ → ￢
    {0x00B5, 0x03BC},  // µ → μ
    {0x00B7, 0x30FB},  // · → ・
    {0x2014, 0x2015},  // — → ―
    {0x2016, 0x2225},  // ‖ → ∥
    {0x2022, 0x30FB},  // • → ・
    {0x203E, 0xFFE3},  // ‾ → ￣
    {0x2212, 0xFF0D},  // − → －
    {0x301C, 0xFF5E},  // 〜 → ～
};

}  // namespace

char32_t cp932_look_alike(char32_t c) {
  for (const LookAlike& pair : kLookAlikes) {
    if (pair.from == c) return pair.to;
  }
  return 0;
}

std::string with_cp932_look_alikes(const std::string& utf8) {
  std::string out;
  std::string_view rest = utf8;
  while (!rest.empty()) {
    char32_t c = 0;
    size_t len = next_utf8_char(rest, &c);
    if (len == 0) return utf8;  // not UTF-8: nothing to compare by
    char32_t look = cp932_look_alike(c);
    if (look != 0) {
      append_utf8(look, &out);
    } else {
      out.append(rest.substr(0, len));
    }
    rest.remove_prefix(len);
  }
  return out;
}
