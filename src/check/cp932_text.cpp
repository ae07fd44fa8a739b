// Walks code page 932 text character by character, so that one bad byte costs one replacement
// character and never the rest of the line.
#include "cp932_text.h"

#include "setuplist/text.h"

namespace {

const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD, spelled in bytes: the sources use CP932

bool is_single_byte_char(unsigned char b) {
  return b < 0x80 || (b >= 0xA1 && b <= 0xDF);
}

bool is_trail_byte(unsigned char b) {
  return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

// Length of the well-formed UTF-8 character at the start of s (no overlong forms, surrogates or
// values above U+10FFFF), or 0.
size_t utf8_char_length(std::string_view s) {
  auto at = [&](size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u; };
  unsigned b = at(0);
  if (b < 0x80) return 1;
  size_t len = b >= 0xC2 && b <= 0xDF   ? 2
               : b >= 0xE0 && b <= 0xEF ? 3
               : b >= 0xF0 && b <= 0xF4 ? 4
                                        : 0;
  // The second byte's range narrows after E0, ED, F0 and F4.
  unsigned low = b == 0xE0 ? 0xA0 : b == 0xF0 ? 0x90 : 0x80;
  unsigned high = b == 0xED ? 0x9F : b == 0xF4 ? 0x8F : 0xBF;
  for (size_t i = 1; i < len; ++i) {
    unsigned c = at(i);
    if (c < (i == 1 ? low : 0x80) || c > (i == 1 ? high : 0xBF)) return 0;
  }
  return len;
}

void replace(Utf8Text* out, size_t offset) {
  if (out->invalid_count++ == 0) out->first_invalid = offset;
  out->text += kReplacement;
}

}  // namespace

Utf8Text decode_cp932(std::string_view bytes, bool more_follows) {
  Utf8Text out;
  out.text.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {  // ASCII is itself in both encodings: no need to ask the platform
      out.text += static_cast<char>(b);
      ++i;
      continue;
    }
    bool lead = is_cp932_lead(b);
    bool at_end = i + 1 == bytes.size();
    if (lead && at_end && more_follows) break;
    // A lead byte without a proper second byte is bad on its own; the byte after it is read
    // afresh, so "\x81" followed by "A" still yields the "A".
    bool paired = lead && !at_end && is_trail_byte(static_cast<unsigned char>(bytes[i + 1]));
    size_t len = paired ? 2 : 1;
    bool well_formed = paired || (!lead && is_single_byte_char(b));
    if (!well_formed || !append_cp932_char(bytes.data() + i, len, &out.text)) replace(&out, i);
    i += len;
  }
  out.consumed = i;
  return out;
}

std::string cp932_to_utf8(std::string_view bytes) {
  return decode_cp932(bytes).text;
}

Utf8Guess guess_utf8(std::string_view bytes) {
  Utf8Guess guess;
  guess.bom = bytes.substr(0, 3) == "\xEF\xBB\xBF";
  bool multi_byte = false;
  for (size_t i = guess.bom ? 3 : 0; i < bytes.size();) {
    size_t len = utf8_char_length(bytes.substr(i));
    if (len == 0) return guess;
    multi_byte = multi_byte || len > 1;
    i += len;
  }
  guess.utf8 = multi_byte;
  return guess;
}
