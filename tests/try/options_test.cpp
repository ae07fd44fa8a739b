// update-try's command line: what it takes and refuses, and the quoting of the arguments it hands
// to update-check, which under Wine and Windows is read back with CommandLineToArgvW's rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_name.h"
#include "try/options.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

struct OptionsCase {
  const char* name;
  std::vector<std::string> args;
  std::string error;  // empty: taken
  std::string key;
  std::string reg;
  std::string out;
  bool keep;
};

const OptionsCase kOptionsCases[] = {
    {"folders_alone", {"D:\\", "C:\\Games\\Game"}, "", "", "", "", false},
    {"key_and_out_both_forms",
     {"--key", u8"HKCU\\Software\\星", "--out=C:\\r", "--keep", "d", "g"},
     "",
     u8"HKCU\\Software\\星",
     "",
     "C:\\r",
     true},
    {"reg_with_equals", {"--reg=game.reg", "d", "g"}, "", "", "game.reg", "", false},
    {"folder_that_starts_with_a_dash_after_the_end_of_options",
     {"--", "-disc", "g"},
     "",
     "",
     "",
     "",
     false},
    {"key_and_reg",
     {"--key", "K", "--reg", "f", "d", "g"},
     "one of --key and --reg only",
     "",
     "",
     "",
     false},
    {"key_twice",
     {"--key", "K", "--key=L", "d", "g"},
     "one of --key and --reg only",
     "",
     "",
     "",
     false},
    {"key_without_value", {"d", "g", "--key"}, "--key needs a value", "", "", "", false},
    {"empty_reg", {"--reg=", "d", "g"}, "--reg needs a value", "", "", "", false},
    {"unknown_option", {"--against", "x", "d", "g"}, "unknown option --against", "", "", "", false},
    {"flag_with_value", {"--keep=yes", "d", "g"}, "--keep takes no value", "", "", "", false},
    {"one_folder", {"d"}, "a disc folder and a game folder, and nothing more", "", "", "", false},
    {"three_folders",
     {"d", "g", "h"},
     "a disc folder and a game folder, and nothing more",
     "",
     "",
     "",
     false},
};

void PrintTo(const OptionsCase& c, std::ostream* os) {
  *os << c.name;
}

class OptionsTable : public testing::TestWithParam<OptionsCase> {};

TEST_P(OptionsTable, TakesOrRefuses) {
  const OptionsCase& c = GetParam();
  TryOptions options;
  std::string error;
  bool taken = parse_try_options(c.args, &options, &error);
  EXPECT_EQ(error, c.error);
  EXPECT_EQ(taken, c.error.empty());
  if (!taken) return;
  EXPECT_EQ(options.key, c.key);
  EXPECT_EQ(options.reg, c.reg);
  EXPECT_EQ(options.out, c.out);
  EXPECT_EQ(options.keep, c.keep);
  EXPECT_EQ(options.game, c.args.back());
}

INSTANTIATE_TEST_SUITE_P(Try, OptionsTable, testing::ValuesIn(kOptionsCases), CaseName());

TEST(Options, HelpNeedsNoFolders) {
  TryOptions options;
  std::string error;
  EXPECT_TRUE(parse_try_options({"--help"}, &options, &error));
  EXPECT_TRUE(options.help);
}

struct QuoteCase {
  const char* name;
  std::string arg;
  std::string quoted;
};

const QuoteCase kQuoteCases[] = {
    {"plain", "C:\\Games\\Game", "C:\\Games\\Game"},
    {"blank", "C:\\Program Files\\Game", "\"C:\\Program Files\\Game\""},
    {"empty", "", "\"\""},
    // Inside quotes a backslash before the closing quote would escape it.
    {"blank_and_trailing_backslash", "C:\\My Games\\", "\"C:\\My Games\\\\\""},
    {"quote_inside", "say \"hi\"", "\"say \\\"hi\\\"\""},
    {"backslashes_before_a_quote", "a\\\\\"b", "\"a\\\\\\\\\\\"b\""},
    {"japanese_with_blank", u8"D:\\星空 の図書館", u8"\"D:\\星空 の図書館\""},
};

void PrintTo(const QuoteCase& c, std::ostream* os) {
  *os << c.name;
}

class QuoteTable : public testing::TestWithParam<QuoteCase> {};

TEST_P(QuoteTable, ReadsBackWhole) {
  const QuoteCase& c = GetParam();
  EXPECT_EQ(quoted_argument(c.arg), c.quoted);
#ifdef _WIN32
  // The system's own reading of a command line.
  std::string line = "prog.exe " + quoted_argument(c.arg) + " next";
  std::wstring wide(line.size(), L'\0');
  wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, line.data(),
                                                      static_cast<int>(line.size()), wide.data(),
                                                      static_cast<int>(wide.size()))));
  int count = 0;
  wchar_t** args = CommandLineToArgvW(wide.c_str(), &count);
  ASSERT_EQ(count, 3);
  std::string back(c.arg.size() * 3 + 1, '\0');
  back.resize(
      static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, args[1], -1, back.data(),
                                              static_cast<int>(back.size()), nullptr, nullptr)) -
      1);
  EXPECT_EQ(back, c.arg);
  LocalFree(args);
#endif
}

INSTANTIATE_TEST_SUITE_P(Try, QuoteTable, testing::ValuesIn(kQuoteCases), CaseName());

}  // namespace
