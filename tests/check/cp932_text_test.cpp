// The code page 932 decoding: one replacement per bad character, never more and never the rest of
// the text, and a lead byte held back for the next piece only when asked.
#include <gtest/gtest.h>

#include <string>

#include "disc/cp932_text.h"

using namespace std::string_literals;

namespace {

struct DecodeCase {
  const char* name;
  std::string bytes;  // plain literals: the test sources are compiled to code page 932
  bool more_follows;
  std::string utf8;
  size_t invalid_count;
  size_t first_invalid;
  size_t consumed;
};

const DecodeCase kDecodeCases[] = {
    {"ascii_and_nul", "a\0b"s, false, u8"a\0b"s, 0, 0, 3},
    {"kanji_and_kana", "星のかけら", false, u8"星のかけら", 0, 0, 10},
    {"second_byte_is_backslash", "ソ表", false, u8"ソ表", 0, 0, 4},
    {"half_width_kana", "\xB1\xDF", false, u8"ｱﾟ", 0, 0, 2},
    {"nec_special_row", "\x87\x40", false, u8"①", 0, 0, 2},
    {"bytes_never_in_the_code_page", "a\x80\xA0\xFD\xFE\xFF", false,
     u8"a\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD", 5, 1, 6},
    {"lead_without_second_byte_keeps_next", "\x81 z", false, u8"\uFFFD z", 1, 0, 3},
    {"unassigned_pair_is_one_character", "x\x85\x40y", false, u8"x\uFFFDy", 1, 1, 4},
    {"lead_at_the_end", "ab\x82", false, u8"ab\uFFFD", 1, 2, 3},
    {"lead_at_the_end_held_back", "ab\x82", true, "ab", 0, 0, 2},
    {"whole_pair_at_the_end_not_held", "a\x82\xA0", true, u8"aあ", 0, 0, 3},
};

void PrintTo(const DecodeCase& c, std::ostream* os) {
  *os << c.name;
}

class Decode : public testing::TestWithParam<DecodeCase> {};

TEST_P(Decode, Cp932ToUtf8) {
  const DecodeCase& c = GetParam();
  Utf8Text out = decode_cp932(c.bytes, c.more_follows);
  EXPECT_EQ(out.text, c.utf8);
  EXPECT_EQ(out.invalid_count, c.invalid_count);
  if (c.invalid_count > 0) {
    EXPECT_EQ(out.first_invalid, c.first_invalid);
  }
  EXPECT_EQ(out.consumed, c.consumed);
}

INSTANTIATE_TEST_SUITE_P(Cp932, Decode, testing::ValuesIn(kDecodeCases),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
