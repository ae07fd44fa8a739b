// Code page 932 both ways, character by character: one bad byte costs one replacement character
// and never the rest of the line, and every character written is read back to prove it exact.
#include "cp932_text.h"

#include <cstdio>

#include "look_alike.h"
#include "setuplist/text.h"
#include "system/code_page.h"

namespace {

const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD, spelled in bytes: the sources use CP932

bool is_single_byte_char(unsigned char b) {
  return b < 0x80 || (b >= 0xA1 && b <= 0xDF);
}

bool is_trail_byte(unsigned char b) {
  return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

void replace(Utf8Text* out, size_t offset) {
  if (out->invalid_count++ == 0) out->first_invalid = offset;
  out->text += kReplacement;
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

size_t next_utf8_char(std::string_view s, char32_t* code_point) {
  auto at = [&](size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u; };
  unsigned b = at(0);
  if (s.empty()) return 0;
  size_t len = b < 0x80                 ? 1
               : b >= 0xC2 && b <= 0xDF ? 2
               : b >= 0xE0 && b <= 0xEF ? 3
               : b >= 0xF0 && b <= 0xF4 ? 4
                                        : 0;
  // The second byte's range narrows after E0, ED, F0 and F4.
  unsigned low = b == 0xE0 ? 0xA0 : b == 0xF0 ? 0x90 : 0x80;
  unsigned high = b == 0xED ? 0x9F : b == 0xF4 ? 0x8F : 0xBF;
  char32_t c = len == 1 ? b : b & (0x7F >> len);
  for (size_t i = 1; i < len; ++i) {
    unsigned next = at(i);
    if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF)) return 0;
    c = (c << 6) | (next & 0x3F);
  }
  if (len != 0) *code_point = c;
  return len;
}

void append_utf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    *out += static_cast<char>(c);
  } else if (c < 0x800) {
    *out += static_cast<char>(0xC0 | (c >> 6));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out += static_cast<char>(0xE0 | (c >> 12));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (c >> 18));
    *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

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
    char32_t c;
    size_t len = next_utf8_char(bytes.substr(i), &c);
    if (len == 0) return guess;
    multi_byte = multi_byte || len > 1;
    i += len;
  }
  guess.utf8 = multi_byte;
  return guess;
}

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
  append_utf8(c, &utf8);
  return utf8 + " (" + code + ")";
}

std::string cp932_failure(const Cp932Text& text) {
  if (!text.valid_utf8) return "not UTF-8";
  std::string chars;
  for (char32_t c : text.lacking) {
    std::string described = describe_char(c);
    // A name typed on another system often holds a character that only looks like one of code
    // page 932's: naming that one saves a long search.
    if (char32_t look = cp932_look_alike(c); look != 0) {
      described.insert(described.size() - 1,
                       "; use " + describe_char(look) + ", which looks the same");
    }
    chars += (chars.empty() ? "" : ", ") + described;
  }
  return "no code page 932 form for " + chars;
}
