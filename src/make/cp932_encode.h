// UTF-8 text as code page 932, exactly. A character is taken only when its code page 932 form
// reads back as the same character: the converters also map some characters one way only (the
// wave dash 〜 to ～, ¥ to the backslash byte 0x5C), and such a name would reach the disc under
// one name and the setup list under another.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// The platform's converter for one character, given as UTF-8: iconv on Linux, the code page
// functions on Windows (without best-fit mappings).
// Appends its code page 932 form to out; false when there is none.
bool append_utf8_char_as_cp932(std::string_view utf8_char, std::string* out);
