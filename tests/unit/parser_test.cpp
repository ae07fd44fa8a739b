// The setup list parser: keyword lines, data lines, sections, type headers and the registry key.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "setuplist/setup_parser.h"
#include "setuplist/setup_record.h"
#include "setuplist/text.h"
#include "test_support.h"

namespace {

const std::string kNotListed = "TEST: not list type";

std::string field(const std::string& name) {
  if (name == "TITLE") return SetupRecord.TITLE;
  if (name == "TITLE_OLD") return SetupRecord.TITLE_OLD;
  if (name == "PATH") return SetupRecord.PATH;
  if (name == "REG_KEY") return SetupRecord.REG_KEY;
  ADD_FAILURE() << "no field " << name;
  return {};
}

// Keyword lines ---------------------------------------------------------------------------------

struct KeywordCase {
  const char* name;
  std::string list;
  const char* field;
  std::string expected;
};

void PrintTo(const KeywordCase& c, std::ostream* os) {
  *os << c.name;
}

class KeywordLines : public testing::TestWithParam<KeywordCase> {};

TEST_P(KeywordLines, SetTheField) {
  parse_list(GetParam().list);
  EXPECT_EQ(field(GetParam().field), GetParam().expected);
}

const KeywordCase kKeywordCases[] = {
    {"plain_value", "#TITLE ゲーム\n", "TITLE", "ゲーム"},
    {"title_old_alone", "#TITLE_OLD 旧\n", "TITLE_OLD", "旧"},
    {"title_untouched_by_title_old", "#TITLE_OLD 旧\n", "TITLE", "Titleだよ"},
    {"quoted_keeps_inner_blanks", "#TITLE \"  ゲーム 2\" remark\n", "TITLE", "  ゲーム 2"},
    {"blanks_before_quote_skipped", "#TITLE \t \"x y\"\n", "TITLE", "x y"},
    {"unquoted_keeps_trailing_blanks", "#PATH DATA  \n", "PATH", "DATA  "},
    {"tab_separates", "#PATH\tDATA\n", "PATH", "DATA"},
    {"no_value", "#TITLE\n", "TITLE", ""},
    {"only_blanks_after_keyword", "#TITLE   \n", "TITLE", ""},
    {"empty_quotes", "#TITLE \"\"\n", "TITLE", ""},
    {"unclosed_quote", "#TITLE \"abc\n", "TITLE", "abc"},
    {"crlf_line", "#TITLE abc\r\n", "TITLE", "abc"},
    {"lone_cr_ends_value", "#TITLE ab\rcd\n", "TITLE", "ab"},
    {"last_line_without_lf", "#TITLE abc", "TITLE", "abc"},
    {"blank_after_hash_is_comment", "# TITLE x\n", "TITLE", "Titleだよ"},
    {"lower_case_is_comment", "#title x\n", "TITLE", "Titleだよ"},
    {"equals_sign_is_comment", "#TITLE=x\n", "TITLE", "Titleだよ"},
    {"quote_after_keyword_is_comment", "#TITLE\"x\"\n", "TITLE", "Titleだよ"},
    {"longer_keyword_is_comment", "#TITLES x\n", "TITLE", "Titleだよ"},
    {"later_line_wins", "#TITLE a\n#TITLE b\n", "TITLE", "b"},
    {"unused_keyword_changes_nothing", "#DEFDIR x\n#EXE y\n", "TITLE", "Titleだよ"},
    // A byte of 0x80 or above takes the next byte with it, whatever that byte is.
    {"lead_byte_swallows_quote", "#TITLE \"\x81\"abc\" x\n", "TITLE", "\x81\"abc"},
    {"second_byte_5c_kept", "#PATH \x95\x5C\x83\x5C\n", "PATH", "\x95\x5C\x83\x5C"},
    {"odd_katakana_run_takes_lf", "#TITLE \xB9\xDE\xB0\n", "TITLE", "\xB9\xDE\xB0\n"},
    {"even_katakana_run", "#TITLE \xB9\xDE\xB0\xD1\n", "TITLE", "\xB9\xDE\xB0\xD1"},
    {"lead_byte_in_keyword", "#TITLE\x81 x\n", "TITLE", "Titleだよ"},
    // A high byte as the very last byte of the text: the scan stops at the terminator.
    {"high_byte_ends_value", "#TITLE x\x83", "TITLE", "x\x83"},
    {"high_byte_ends_keyword", "#TITLE\x83", "TITLE", "Titleだよ"},
    {"high_byte_after_blanks", "#TITLE  \x83", "TITLE", "\x83"},
    // A title longer than its field keeps whole characters only.
    {"long_title_cut", "#TITLE " + std::string(120, 'a') + "\n", "TITLE", std::string(99, 'a')},
    {"long_title_cut_before_double_byte", "#TITLE " + std::string(98, 'a') + "ゲーム\n", "TITLE",
     std::string(98, 'a')},
    {"title_of_99_bytes_fits", "#TITLE " + std::string(97, 'a') + "ゲ\n", "TITLE",
     std::string(97, 'a') + "ゲ"},
    // The registry key is composed after the last line.
    {"key_defaults", "", "REG_KEY", "Software\\TALLOWMERE\\GAME"},
    {"key_from_reg_s", "#REG_S Maker\n", "REG_KEY", "Software\\Maker\\GAME"},
    {"key_with_empty_reg_p", "#REG_P\n", "REG_KEY", "\\TALLOWMERE\\GAME"},
    {"key_of_all_parts", "#REG_T T\n#REG_P P\n#REG_S S\n", "REG_KEY", "P\\S\\T"},
    {"key_parts_empty", "#REG_P\n#REG_S\n#REG_T\n", "REG_KEY", "\\\\"},
};

INSTANTIATE_TEST_SUITE_P(Table, KeywordLines, testing::ValuesIn(kKeywordCases), CaseName());

// Sections, data lines and type headers ---------------------------------------------------------

struct Entry {
  std::string file_name;
  uint32_t type_mask;
  bool operator==(const Entry& other) const {
    return file_name == other.file_name && type_mask == other.type_mask;
  }
};

void PrintTo(const Entry& e, std::ostream* os) {
  *os << e.file_name << "/" << e.type_mask;
}

struct TableCase {
  const char* name;
  std::string list;
  std::vector<std::string> types;
  std::vector<Entry> files;
  std::vector<std::string> boxes;
};

void PrintTo(const TableCase& c, std::ostream* os) {
  *os << c.name;
}

class Tables : public testing::TestWithParam<TableCase> {};

TEST_P(Tables, AreFilledInListOrder) {
  std::vector<std::string> boxes = parse_list(GetParam().list);
  std::vector<std::string> types(TypeTable.type_name, TypeTable.type_name + TypeTable.type_count);
  std::vector<Entry> files;
  files.reserve(static_cast<size_t>(FileTable.file_count));
  for (int i = 0; i < FileTable.file_count; ++i) {
    files.push_back({FileTable.file_name[i], FileTable.type_mask[i]});
  }
  EXPECT_EQ(types, GetParam().types);
  EXPECT_EQ(files, GetParam().files);
  EXPECT_EQ(boxes, GetParam().boxes);
  EXPECT_EQ(SetupProblem.limit, SetupLimit::none);
}

const std::string kTwoTypes = "#INSTALL_LST\n[A]\n[B]\n";

const TableCase kTableCases[] = {
    {"empty_list", "", {}, {}, {}},
    {"files_under_headers",
     kTwoTypes + "#FILE\n[A]\na.txt\n[B]\nsub\\b.txt\n",
     {"[A]", "[B]"},
     {{"a.txt", 1}, {"sub\\b.txt", 2}},
     {}},
    {"file_before_any_header", "#FILE\na.txt\n", {}, {{"a.txt", kNoTypeMask}}, {}},
    {"third_type_is_bit_2",
     "#INSTALL_LST\n[A]\n[B]\n[C]\n#FILE\n[C]\nc.txt\n",
     {"[A]", "[B]", "[C]"},
     {{"c.txt", 4}},
     {}},
    {"empty_header_selects_no_type",
     kTwoTypes + "#FILE\n[A]\na\n[]\nb\n[]whatever\nc\n",
     {"[A]", "[B]"},
     {{"a", 1}, {"b", kNoTypeMask}, {"c", kNoTypeMask}},
     {}},
    {"unknown_header_shows_two_boxes",
     kTwoTypes + "#FILE\n[C]\nc.txt\n",
     {"[A]", "[B]"},
     {{"c.txt", kNoTypeMask}},
     {kNotListed, "TEST: [C]"}},
    {"header_listed_further_down",
     "#FILE\n[A]\na\n#INSTALL_LST\n[A]\n",
     {"[A]"},
     {{"a", kNoTypeMask}},
     {kNotListed, "TEST: [A]"}},
    {"lone_bracket_matches_first_bracketed_type",
     "#INSTALL_LST\nX\n[Y]\n#FILE\n[\ny\n",
     {"X", "[Y]"},
     {{"y", 2}},
     {}},
    {"header_matches_type_with_remark",
     "#INSTALL_LST\n[A] standard\n#FILE\n[A]\na\n",
     {"[A] standard"},
     {{"a", 1}},
     {}},
    {"header_with_remark_does_not_match_shorter_type",
     "#INSTALL_LST\n[A]\n#FILE\n[A] x\na\n",
     {"[A]"},
     {{"a", kNoTypeMask}},
     {kNotListed, "TEST: [A] x"}},
    {"header_trailing_blanks_trimmed",
     kTwoTypes + "#FILE\n[B]  \t\r\nb\n",
     {"[A]", "[B]"},
     {{"b", 2}},
     {}},
    {"install_s_names_checked",
     kTwoTypes + "#INSTALL_S\n[A]\n#INSTALL_B\n[Z]\n#INSTALL_C\n[B]\n",
     {"[A]", "[B]"},
     {},
     {kNotListed, "TEST: [Z]"}},
    {"lookups_with_no_types",
     "#INSTALL_C\nX\n#FILE\n[X]\nf\n",
     {},
     {{"f", kNoTypeMask}},
     {kNotListed, "TEST: X", kNotListed, "TEST: [X]"}},
    {"comment_keeps_file_section",
     kTwoTypes + "#FILE\n[A]\n#remark\n# more\na\n",
     {"[A]", "[B]"},
     {{"a", 1}},
     {}},
    {"double_hash_ends_section",
     kTwoTypes + "#FILE\n[A]\na\n##\nb\n#FILE\nc\n",
     {"[A]", "[B]"},
     {{"a", 1}, {"c", 1}},
     {}},
    {"double_hash_with_keyword_ends_section",
     "#FILE\na\n##FILE\nb\n",
     {},
     {{"a", kNoTypeMask}},
     {}},
    {"section_keyword_with_text", "#FILE files follow\na\n", {}, {{"a", kNoTypeMask}}, {}},
    {"field_keyword_keeps_section", "#FILE\n#TITLE x\na\n", {}, {{"a", kNoTypeMask}}, {}},
    {"data_before_any_section_ignored", "a\n[A]\n#FILE\nb\n", {}, {{"b", kNoTypeMask}}, {}},
    {"save_list_ignored", "#SAVE_LST\nsave.dat\n[Q]\n", {}, {}, {}},
    {"blank_lines_skipped", "#FILE\n \t \n\r\n\na\n", {}, {{"a", kNoTypeMask}}, {}},
    {"leading_blanks_kept",
     "#FILE\n  a.txt\n #x\n",
     {},
     {{"  a.txt", kNoTypeMask}, {" #x", kNoTypeMask}},
     {}},
    {"trailing_blanks_trimmed", "#FILE\na.txt \t \r\n", {}, {{"a.txt", kNoTypeMask}}, {}},
    {"type_persists_across_sections",
     kTwoTypes + "#FILE\n[B]\nb\n#INSTALL_LST\n[C]\n#FILE\nc\n[C]\nd\n",
     {"[A]", "[B]", "[C]"},
     {{"b", 2}, {"c", 2}, {"d", 4}},
     {}},
    {"same_file_twice", "#FILE\na\na\n", {}, {{"a", kNoTypeMask}, {"a", kNoTypeMask}}, {}},
    {"ctrl_z_ends_the_list",
     "#FILE\na\nb\x1A"
     "c\nd\n",
     {},
     {{"a", kNoTypeMask}, {"b", kNoTypeMask}},
     {}},
    {"nul_byte_cuts_a_line",
     std::string("#FILE\nab\0cd\ne\n", 13),
     {},
     {{"ab", kNoTypeMask}, {"e", kNoTypeMask}},
     {}},
    // A long comment goes on as a data line of the current section after its first 511 bytes.
    {"long_comment_continues_as_data",
     "#FILE\n#" + std::string(510, 'c') + "tail.txt\n",
     {},
     {{"tail.txt", kNoTypeMask}},
     {}},
    {"long_header_never_reads_past_type_name",
     "#INSTALL_LST\n[" + std::string(62, 'h') + "\n#FILE\n[" + std::string(70, 'h') + "\n",
     {"[" + std::string(62, 'h')},
     {},
     {kNotListed, "TEST: [" + std::string(70, 'h')}},
};

INSTANTIATE_TEST_SUITE_P(Table, Tables, testing::ValuesIn(kTableCases), CaseName());

// Limits: the first problem stops the run ------------------------------------------------------

struct LimitCase {
  const char* name;
  std::string list;
  SetupLimit limit;
  int line;
  std::string text;
};

void PrintTo(const LimitCase& c, std::ostream* os) {
  *os << c.name;
}

class Limits : public testing::TestWithParam<LimitCase> {};

TEST_P(Limits, RecordTheFirstProblem) {
  EXPECT_EQ(parse_list(GetParam().list), std::vector<std::string>{}) << "no box before the stop";
  EXPECT_EQ(SetupProblem.limit, GetParam().limit);
  EXPECT_EQ(SetupProblem.line, GetParam().line);
  EXPECT_EQ(std::string(SetupProblem.text), GetParam().text);
}

std::string lines_of(const std::string& prefix, int count) {
  std::string out;
  for (int i = 0; i < count; ++i)
    out += prefix + std::to_string(i) + "\n";
  return out;
}

const std::string k31 = std::string(27, 'f') + ".txt";

const LimitCase kLimitCases[] = {
    {"file_name_of_31_bytes_fits", "#FILE\n" + k31 + "\n", SetupLimit::none, 0, ""},
    {"file_name_of_32_bytes", "#FILE\na\n" + k31 + "x\n", SetupLimit::file_name_length, 3,
     k31 + "x"},
    {"256_files_fit", "#FILE\n" + lines_of("f", 256), SetupLimit::none, 0, ""},
    {"257th_file", "#FILE\n" + lines_of("f", 257), SetupLimit::file_count, 258, "f256"},
    {"32_types_fit", "#INSTALL_LST\n" + lines_of("t", 32), SetupLimit::none, 0, ""},
    {"33rd_type", "#INSTALL_LST\n" + lines_of("t", 33), SetupLimit::type_count, 34, "t32"},
    // Brackets count; trailing blanks are trimmed first. A remark that takes a name over its
    // field stops the run too: the whole line is the name a header must repeat.
    {"type_name_of_63_bytes_fits", "#INSTALL_LST\n[" + std::string(61, 't') + "] \t\n",
     SetupLimit::none, 0, ""},
    {"type_name_of_64_bytes", "#INSTALL_LST\n[A]\n[" + std::string(62, 't') + "]\n",
     SetupLimit::type_name_length, 3, "[" + std::string(62, 't') + "]"},
    {"type_name_with_a_long_remark",
     "#INSTALL_LST\n[A] " + std::string(100, 'r') + "\n#FILE\n[A]\na\n",
     SetupLimit::type_name_length, 2, "[A] " + std::string(100, 'r')},
    {"path_of_255_bytes_fits", "#PATH " + std::string(255, 'p') + "\n", SetupLimit::none, 0, ""},
    {"path_of_256_bytes", "\n#PATH " + std::string(256, 'p') + "\n", SetupLimit::path_length, 2,
     std::string(256, 'p')},
    {"key_of_1023_bytes_fits",
     "#REG_P " + std::string(500, 'p') + "\n#REG_S " + std::string(500, 's') + "\n#REG_T " +
         std::string(21, 't') + "\n",
     SetupLimit::none, 0, ""},
    {"key_of_1024_bytes",
     "#REG_P " + std::string(500, 'p') + "\n#REG_S " + std::string(500, 's') + "\n#REG_T " +
         std::string(22, 't') + "\n#FILE\n",
     SetupLimit::reg_key_length, 3, std::string(500, 'p') + "\\" + std::string(10, 's')},
    // The NUL cuts the line's text short; its line end still counts.
    {"line_after_a_nul_byte_keeps_its_number", std::string("#FILE\na\0b\n", 10) + k31 + "x\n",
     SetupLimit::file_name_length, 3, k31 + "x"},
    {"first_problem_wins", "#FILE\n" + std::string(40, 'a') + "\n#PATH " + std::string(300, 'p'),
     SetupLimit::file_name_length, 2, std::string(40, 'a')},
};

INSTANTIATE_TEST_SUITE_P(Table, Limits, testing::ValuesIn(kLimitCases), CaseName());

TEST(Limits, NothingIsWrittenPastATable) {
  parse_list("#INSTALL_LST\n" + lines_of("t", 40) + "#FILE\n[t31]\n" + lines_of("f", 300));
  EXPECT_EQ(TypeTable.type_count, 32);
  EXPECT_EQ(FileTable.file_count, 256);
  EXPECT_EQ(FileTable.type_mask[255], 0x80000000u);  // the type of index 31
}

// No list at all ------------------------------------------------------------------------------

TEST(NoList, ChangesNothing) {
  SetupRecord = kSetupDefaults;
  copy_bounded(SetupRecord.REG_KEY, sizeof SetupRecord.REG_KEY, "kept");
  FileTable.file_count = 3;
  SetupListFile = nullptr;
  parse_setup_list();
  EXPECT_STREQ(SetupRecord.REG_KEY, "kept");
  EXPECT_EQ(FileTable.file_count, 3);
  SetupRecord = kSetupDefaults;
  FileTable.file_count = 0;
}

TEST(Defaults, AreThoseOfTheInstallKit) {
  parse_list("");
  EXPECT_STREQ(SetupRecord.TITLE, "Titleだよ");
  EXPECT_STREQ(SetupRecord.TITLE_OLD, "Titleだよ");
  EXPECT_STREQ(SetupRecord.PATH, "GAME");
  EXPECT_STREQ(SetupRecord.REG_KEY, "Software\\TALLOWMERE\\GAME");
}

}  // namespace
