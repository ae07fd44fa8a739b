// The exact conversion of names to code page 932, natively (iconv) and under Wine (the code page
// functions): characters that convert only one way must be refused, not turned into others.
#include "disc/cp932_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_name.h"

namespace {

// Inputs are UTF-8 (u8 literals); expected bytes are spelled out, as the sources compile to CP932.
struct EncodeCase {
  const char* name;
  std::string utf8;
  std::string cp932;              // when every character converts
  std::vector<char32_t> lacking;  // otherwise
  bool valid_utf8;
};

const EncodeCase kEncodeCases[] = {
    {"ascii_and_backslash", "data\\map01.dat", "data\\map01.dat", {}, true},
    {"second_byte_0x5c", u8"表\\ソ", "\x95\x5C\\\x83\x5C", {}, true},
    {"half_width_katakana", u8"ｱｲ", "\xB1\xB2", {}, true},
    {"nec_special", u8"①Ⅰ", "\x87\x40\x87\x54", {}, true},
    {"fullwidth_tilde", u8"～", "\x81\x60", {}, true},
    {"wave_dash_one_way", u8"波〜.txt", "", {0x301C}, true},
    {"yen_would_be_backslash", u8"¥100", "", {0xA5}, true},
    {"minus_one_way", u8"−", "", {0x2212}, true},
    {"latin_each_once", u8"café é", "", {0xE9}, true},
    {"beyond_bmp", u8"𠮷", "", {0x20BB7}, true},
    {"stray_byte", "a\xFF", "", {}, false},
    {"overlong_slash", "\xC0\xAF", "", {}, false},
    {"surrogate", "\xED\xA0\x80", "", {}, false},
    {"cut_sequence", "\xE3\x81", "", {}, false},
};

void PrintTo(const EncodeCase& c, std::ostream* os) {
  *os << c.name;
}

class Encode : public testing::TestWithParam<EncodeCase> {};

TEST_P(Encode, ExactOrRefused) {
  const EncodeCase& c = GetParam();
  Cp932Text text = utf8_to_cp932(c.utf8);
  EXPECT_EQ(text.valid_utf8, c.valid_utf8);
  EXPECT_EQ(text.lacking, c.lacking);
  EXPECT_EQ(text.ok(), c.valid_utf8 && c.lacking.empty());
  if (text.ok()) {
    EXPECT_EQ(text.bytes, c.cp932);
  }
}

INSTANTIATE_TEST_SUITE_P(Cp932, Encode, testing::ValuesIn(kEncodeCases), CaseName());

// The assertion macros quote their arguments as plain literals, which the CP932 build can't hold
// for é: the UTF-8 texts live in variables.
TEST(Cp932, FailureNamesTheCharacters) {
  const std::string input = u8"é〜";
  const std::string message = u8"no code page 932 form for é (U+00E9), 〜 (U+301C)";
  EXPECT_EQ(cp932_failure(utf8_to_cp932(input)), message);
  EXPECT_EQ(cp932_failure(utf8_to_cp932("\x80")), "not UTF-8");
  EXPECT_EQ(describe_char(0x1B), "U+001B");  // never a raw control character in a message
}

}  // namespace
