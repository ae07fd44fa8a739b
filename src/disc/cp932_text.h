// Code page 932 text both ways: the setup list and the names the updater copies are code page
// 932, everything the tools read from the command line and print is UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Length of the well-formed UTF-8 character at the start of s (no overlong forms, surrogates or
// values above U+10FFFF), with its code point in *code_point; 0 when there is none.
size_t next_utf8_char(std::string_view s, char32_t* code_point);
// Appends the UTF-8 form of c.
void append_utf8(char32_t c, std::string* out);

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

// How a list saved as UTF-8 shows itself: its text (after a byte order mark, if any) is valid
// UTF-8 throughout and holds at least one character of more than one byte. Code page 932 text
// with a single kana or kanji between ASCII bytes is never valid UTF-8: its lead bytes 0x81-0x9F
// are UTF-8 continuation bytes. A byte order mark alone may stand before ASCII or code page 932.
struct Utf8Guess {
  bool utf8 = false;  // the text is UTF-8
  bool bom = false;   // it starts with the UTF-8 byte order mark
};

Utf8Guess guess_utf8(std::string_view bytes);

// UTF-8 text as code page 932, exactly. A character is taken only when its code page 932 form
// reads back as the same character: the converters also map some characters one way only (the
// wave dash 〜 to ～, ¥ to the backslash byte 0x5C), and such a name would reach the disc under
// one name and the setup list under another.
struct Cp932Text {
  std::string bytes;              // the code page 932 form; complete only when ok()
  std::vector<char32_t> lacking;  // characters with no exact form, each once, in order
  bool valid_utf8 = true;         // false: the input isn't UTF-8 at all
  bool ok() const { return valid_utf8 && lacking.empty(); }
};

Cp932Text utf8_to_cp932(std::string_view utf8);

// "é (U+00E9)" for a message; the character itself is left out when it is a control character.
std::string describe_char(char32_t c);
// Why a text has no code page 932 form, for a message: "not UTF-8" or "no code page 932 form for
// é (U+00E9), ...".
std::string cp932_failure(const Cp932Text& text);
