// Normalising the folder the user confirmed. The table runs natively and under Wine, where the
// lead bytes come from the system's code page 932.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "plan/dbcs.h"
#include "plan/destination.h"
#include "plan/path_split.h"
#include "plan/update_state.h"
#include "setuplist/text.h"
#include "test_support.h"

namespace {

struct NormalizeCase {
  const char* name;
  std::string before;
  std::string after;
};

void PrintTo(const NormalizeCase& c, std::ostream* os) {
  *os << c.name;
}

class Normalize : public testing::TestWithParam<NormalizeCase> {};

TEST_P(Normalize, GivesTheFolder) {
  ASSERT_LT(GetParam().before.size(), sizeof DestinationPath);
  memset(DestinationPath, 'Z', sizeof DestinationPath);
  memcpy(DestinationPath, GetParam().before.c_str(), GetParam().before.size() + 1);
  normalize_destination();
  EXPECT_EQ(std::string(DestinationPath), GetParam().after);
}

std::string many(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i)
    out += s;
  return out;
}

const NormalizeCase kNormalizeCases[] = {
    // The folder box as users fill it.
    {"doubled_inner_backslash", "D:\\Games\\\\Foo\\", "D:\\Games\\Foo"},
    {"already_normal", "D:\\Games\\Foo", "D:\\Games\\Foo"},
    {"trailing_backslash", "D:\\Games\\Foo\\", "D:\\Games\\Foo"},
    {"runs_of_backslashes", "D:\\\\\\\\Game Data\\\\\\\\", "D:\\Game Data"},
    {"file_name_dropped", "D:\\Games\\Foo\\game.exe", "D:\\Games\\Foo"},
    {"dotted_last_folder_dropped", "D:\\Games\\Foo.old", "D:\\Games"},
    {"dotted_folder_kept_with_backslash", "D:\\Games\\Foo.old\\", "D:\\Games\\Foo.old"},
    {"trailing_dot_dropped", "D:\\Games\\Foo.", "D:\\Games"},
    {"dot_in_inner_folder", "D:\\My.Games\\Foo", "D:\\My.Games\\Foo"},
    {"drive_root", "D:\\", "D:"},
    {"drive_alone", "D:", "D:"},
    {"drive_relative", "D:Foo", "D:Foo"},
    {"relative", "Games\\Foo", "Games\\Foo"},
    {"forward_slashes_kept", "D:/Games/Foo/", "D:/Games/Foo/"},
    {"network_path_loses_a_backslash", "\\\\server\\share\\Game", "\\server\\share\\Game"},
    {"japanese_folder", "D:\\ゲーム\\", "D:\\ゲーム"},
    {"empty", "", ""},
    {"directory_part_over_255_bytes", "D:\\" + std::string(255, 'a') + "\\Foo", ""},
    // Double-byte characters.
    {"katakana_before_doubled_backslash", "D:\\\xB1\\\\x", "D:\\\xB1\\\\x"},
    {"odd_katakana_run_at_end", "D:\\\xB9\xDE\xB0", "D:\\\xB9\xDE\xB0"},
    {"so_at_end", "D:\\\x83\x5C", "D:\\\x83\x5C"},
    {"hyo_at_end_with_backslash", "D:\\\x95\x5C\\", "D:\\\x95\x5C"},
    {"so_folder_doubled_backslash", "D:\\ゲーム\\\x83\x5C\\\\", "D:\\ゲーム\\\x83\x5C"},
    {"lone_lead_byte_at_end", "D:\\abc\x83", "D:\\abc\x83"},
    // A carriage return or line feed cuts the path.
    {"cr_lf_in_box", "D:\\Games\r\nFoo", "D:\\Games"},
    {"lf_in_last_folder", "D:\\Games\\Foo\nbar", "D:\\Games\\Foo"},
    {"cr_after_backslash", "D:\\Games\\\r", "D:\\Games"},
    // Paths longer than the working buffers are refused, never cut or overrun.
    {"collapsed_path_of_254_bytes", "D:\\" + std::string(252, 'a') + "\\",
     "D:\\" + std::string(252, 'a')},
    {"collapsed_path_of_255_bytes", "D:\\" + std::string(253, 'a') + "\\", ""},
    {"joined_path_over_259_bytes", "D:\\" + std::string(200, 'a') + "\\" + std::string(100, 'b'),
     ""},
    {"long_but_collapsible", "D:" + many("a\\\\", 85), "D:" + many("a\\", 84) + "a"},
    {"file_name_over_255_bytes", "D:\\Games\\" + std::string(256, 'f'), ""},
    {"extension_over_255_bytes", "D:\\Games\\f." + std::string(255, 'e'), ""},
};

INSTANTIATE_TEST_SUITE_P(Table, Normalize, testing::ValuesIn(kNormalizeCases), CaseName());

TEST(Normalize, SystemCodePageIs932) {
  // Everything above assumes a Japanese system: under Wine that means LANG=ja_JP.UTF-8.
  EXPECT_TRUE(ansi_lead_byte(0x81));
  EXPECT_TRUE(ansi_lead_byte(0xFC));
  EXPECT_FALSE(ansi_lead_byte(0xA1));  // half-width katakana stand alone
  EXPECT_FALSE(ansi_lead_byte(0x5C));
}

TEST(Normalize, AnyFolderBoxTextStaysInItsBuffer) {
  // Up to 1,023 bytes of anything: backslashes, high bytes, CR, nothing at all.
  const std::string pieces[] = {"\\", "\\\\", "\x83", "\x83\x5C", "\xB1", ".", "/", ":", "a", "\r"};
  for (int seed = 0; seed < 200; ++seed) {
    std::string box;
    for (int i = 0; box.size() < 1000; ++i)
      box += pieces[(seed * 7 + i * (seed % 5 + 1)) % 10];
    box.resize(1023);
    memcpy(DestinationPath, box.c_str(), box.size() + 1);
    normalize_destination();
    EXPECT_LT(strlen(DestinationPath), 258u);
  }
}

// The runtime's path split ---------------------------------------------------------------------

struct SplitCase {
  const char* name;
  std::string path;
  std::string drive, dir, fname, ext;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
  *os << c.name;
}

class Split : public testing::TestWithParam<SplitCase> {};

TEST_P(Split, GivesFourParts) {
  PathParts parts;
  split_path(GetParam().path.c_str(), &parts);
  EXPECT_EQ(parts.drive, GetParam().drive);
  EXPECT_EQ(parts.dir, GetParam().dir);
  EXPECT_EQ(parts.fname, GetParam().fname);
  EXPECT_EQ(parts.ext, GetParam().ext);
}

const SplitCase kSplitCases[] = {
    {"full", "D:\\a\\b.txt", "D:", "\\a\\", "b", ".txt"},
    {"no_drive", "a/b.c.d", "", "a/", "b.c", ".d"},
    {"dot_in_directory_only", "a.b\\c", "", "a.b\\", "c", ""},
    {"so_is_not_a_separator", "\x83\x5C.txt", "", "", "\x83\x5C", ".txt"},
    {"so_then_separator", "\x83\x5C\\x", "", "\x83\x5C\\", "x", ""},
    {"lead_byte_before_terminator", "a\\\x83", "", "a\\", "\x83", ""},
    {"katakana_is_single_byte", "\xB1\\x", "", "\xB1\\", "x", ""},
    {"colon_not_second", "ab:c", "", "", "ab:c", ""},
    {"directory_of_255_bytes", std::string(254, 'd') + "\\", "", std::string(254, 'd') + "\\", "",
     ""},
    {"directory_of_256_bytes", std::string(255, 'd') + "\\x", "", "", "", ""},
};

INSTANTIATE_TEST_SUITE_P(Table, Split, testing::ValuesIn(kSplitCases), CaseName());

}  // namespace
