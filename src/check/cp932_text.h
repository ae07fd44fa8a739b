// Code page 932 text as UTF-8: the setup list is code page 932, everything the checker prints is
// UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

struct Utf8Text {
  std::string text;          // every character that isn't code page 932 becomes U+FFFD
  size_t consumed = 0;       // bytes decoded: all of them, unless a lead byte was held back
  size_t invalid_count = 0;  // characters replaced
  size_t first_invalid = 0;  // byte offset of the first replaced one
};

// With more_follows, a lead byte at the very end is left undecoded (consumed stops before it):
// the caller has the rest of the text in its next piece.
Utf8Text decode_cp932(std::string_view bytes, bool more_follows = false);
std::string cp932_to_utf8(std::string_view bytes);

// The platform's converter for one character of one or two bytes (utf8_convert.cpp). Appends its
// UTF-8 form to out; false when code page 932 has no such character.
bool append_cp932_char(const char* bytes, size_t len, std::string* out);
// False when this system can't convert code page 932 at all (an iconv without its tables).
bool cp932_converter_ready();

// How a list saved as UTF-8 shows itself: its text (after a byte order mark, if any) is valid
// UTF-8 throughout and holds at least one character of more than one byte. Code page 932 text
// with a single kana or kanji between ASCII bytes is never valid UTF-8: its lead bytes 0x81-0x9F
// are UTF-8 continuation bytes. A byte order mark alone may stand before ASCII or code page 932.
struct Utf8Guess {
  bool utf8 = false;  // the text is UTF-8
  bool bom = false;   // it starts with the UTF-8 byte order mark
};

Utf8Guess guess_utf8(std::string_view bytes);
