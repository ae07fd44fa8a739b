// The name identity: the updater's own table against the platform's converters and case tables
// for every code of code page 932 (natively iconv and utf8proc, under Wine MultiByteToWideChar,
// WideCharToMultiByte and LCMapStringW), and names that are, or are not, one game file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_name.h"
#include "disc/cp932_text.h"
#include "disc/names.h"
#include "disc/system/code_page.h"
#include "disc/system/unicode_tables.h"
#include "plan/name_identity.h"
#include "setuplist/text.h"

namespace {

// The platform's answer for one code: decoded, upper-cased unit by unit, encoded again. False
// when the platform has no character for the code.
bool platform_fold(unsigned code, unsigned* folded) {
  char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
  const char* begin = code > 0xFF ? bytes : bytes + 1;
  std::string utf8;
  if (!append_cp932_char(begin, code > 0xFF ? 2 : 1, &utf8)) return false;
  char32_t c = 0;
  if (next_utf8_char(utf8, &c) != utf8.size()) return false;
  std::string upper;
  append_utf8(upper_case_unit(c), &upper);
  std::string back;
  if (!append_utf8_char_as_cp932(upper, &back)) return false;
  *folded = back.size() == 1
                ? static_cast<unsigned char>(back[0])
                : (static_cast<unsigned char>(back[0]) << 8) | static_cast<unsigned char>(back[1]);
  return true;
}

TEST(NameIdentity, IsThePlatformsConversionAndUpperCaseForEveryCode) {
  ASSERT_TRUE(cp932_converter_ready());
  std::vector<unsigned> codes;
  for (unsigned b = 1; b < 0x100; ++b) {
    if (!is_cp932_lead(static_cast<unsigned char>(b))) codes.push_back(b);
  }
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    if (!is_cp932_lead(static_cast<unsigned char>(lead))) continue;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail)
      codes.push_back((lead << 8) | trail);
  }
  int characters = 0;
  int changed = 0;
  int wrong = 0;
  for (unsigned code : codes) {
    unsigned expected = 0;
    if (!platform_fold(code, &expected)) continue;
    ++characters;
    changed += expected != code ? 1 : 0;
    if (game_name_char(code) != expected && ++wrong <= 10) {
      ADD_FAILURE() << std::hex << "0x" << code << ": the table gives 0x" << game_name_char(code)
                    << ", the platform 0x" << expected;
    }
  }
  EXPECT_EQ(wrong, 0);
  // Every character of the code page, and the ones that change: 26 ASCII, 26 full-width, 24
  // Greek, 33 Cyrillic and 10 small Roman letters, and the 398 codes of the NEC and IBM rows'
  // characters that the JIS rows or the other of the two hold too.
  EXPECT_GE(characters, 7915);
  EXPECT_EQ(changed, 26 + 26 + 24 + 33 + 10 + 398);
}

struct SameCase {
  const char* name;
  std::string a, b;  // code page 932
  bool same;
};

void PrintTo(const SameCase& c, std::ostream* os) {
  *os << c.name;
}

class SameGameFile : public testing::TestWithParam<SameCase> {};

TEST_P(SameGameFile, AsWindowsComparesNames) {
  const SameCase& c = GetParam();
  EXPECT_EQ(same_game_file(c.a.c_str(), c.b.c_str()), c.same);
  EXPECT_EQ(game_name_key(c.a) == game_name_key(c.b), c.same);
  EXPECT_EQ(name_key(cp932_to_utf8(c.a), NameText::utf8) == game_name_key(c.b), c.same);
}

const SameCase kSameCases[] = {
    {"ascii_case", "Data\\Map.dat", "DATA/map.DAT", true},
    {"empty_and_dot_parts", "sub\\\\.\\a", "sub/a", true},
    {"trailing_dot_and_blank_dropped", "sub.\\a. ", "sub\\a", true},
    {"full_width_latin", "\x82\x81\x82\x9A", "\x82\x60\x82\x79", true},          // ａｚ, ＡＺ
    {"greek", "\x83\xBF\x83\xD6", "\x83\x9F\x83\xB6", true},                     // αω, ΑΩ
    {"cyrillic_around_0x7f", "\x84\x7E\x84\x80", "\x84\x4E\x84\x4F", true},      // но, НО
    {"small_roman_numeral_of_the_ibm_rows", "\xFA\x40", "\x87\x54", true},       // ⅰ, Ⅰ
    {"small_roman_numeral_of_the_nec_selection", "\xEE\xEF", "\xFA\x4A", true},  // ⅰ, Ⅰ
    {"nec_row_twin", "\x87\x9A", "\xFA\x5B", true},                              // ∵ twice
    {"nec_selected_kanji", "\xED\x40", "\xFA\x5C", true},                        // 纊 twice
    {"last_nec_selected_kanji", "\xEE\xEC", "\xFC\x4B", true},                   // 黑 twice
    {"second_byte_is_no_letter", "\x83\x61", "\x83\x41", false},                 // ャ, ア
    {"second_byte_0x5c_is_no_separator", "\x83\x5C\\x", "\x83\\x", false},       // ソ\x
    {"kana_voicing_counts", "\x82\xAA", "\x82\xA9", false},                      // が, か
    {"half_width_is_not_full_width", "\xB1", "\x83\x41", false},                 // ｱ, ア
    {"other_file", "a.txt", "b.txt", false},
};

INSTANTIATE_TEST_SUITE_P(Table, SameGameFile, testing::ValuesIn(kSameCases), CaseName());

// A name as a file system stores it (UTF-8, maybe decomposed) against the name a list gives.
TEST(NameIdentity, FileSystemNamesMeetTheListsNames) {
  EXPECT_EQ(name_key(u8"\u30B7\u30CA\u30EA\u30AA/\u304B\u3099.txt", NameText::file_system),
            game_name_key("\x83\x56\x83\x69\x83\x8A\x83\x49\\\x82\xAA.txt"));  // シナリオ\が.txt
  EXPECT_EQ(name_key(u8"\uFF44\uFF41\uFF54\uFF41", NameText::file_system),
            game_name_key("\x82\x63\x82\x60\x82\x73\x82\x60"));  // ｄａｔａ, ＤＡＴＡ
  EXPECT_EQ(name_key("a.txt.", NameText::file_system), game_name_key("A.TXT"));
  // No code page 932 form: keyed all the same, and never the key of another name.
  EXPECT_EQ(name_key(u8"caf\u00E9", NameText::file_system),
            name_key(u8"CAF\u00C9", NameText::file_system));
  EXPECT_NE(name_key(u8"caf\u00E9", NameText::file_system), game_name_key("CAFE"));
  // A '\' inside a Linux name separates two levels on Windows.
  EXPECT_EQ(name_key("a\\b", NameText::file_system), name_key("A/B", NameText::file_system));
}

}  // namespace
