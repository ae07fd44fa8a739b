// The width rule of the tools' text reports.
#include "display_width.h"

#include "cp932_text.h"
#include "system/code_page.h"

namespace {

// Wide characters without a code page 932 form: CJK, Hangul, kana and full-width blocks.
bool wide_block(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

size_t char_width(std::string_view utf8_char, char32_t c) {
  if (c < 0x80) return 1;
  std::string bytes;
  if (append_utf8_char_as_cp932(utf8_char, &bytes)) return bytes.size() == 2 ? 2 : 1;
  return wide_block(c) ? 2 : 1;
}

}  // namespace

size_t display_width(std::string_view utf8) {
  size_t width = 0;
  while (!utf8.empty()) {
    char32_t c = 0;
    size_t len = next_utf8_char(utf8, &c);
    if (len == 0) {  // a stray byte shows as one replacement character
      ++width;
      utf8.remove_prefix(1);
      continue;
    }
    width += char_width(utf8.substr(0, len), c);
    utf8.remove_prefix(len);
  }
  return width;
}

std::string pad_to_width(const std::string& utf8, size_t width) {
  size_t shown = display_width(utf8);
  return shown >= width ? utf8 : utf8 + std::string(width - shown, ' ');
}
