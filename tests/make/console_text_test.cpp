// What the tools write for a person at a console: the progress line cut to the console's width
// (whole characters, Japanese two columns wide, the file's end kept), and the command that clears
// read-only flags as each system types it. Natively and under Wine (the Windows table).
#include <gtest/gtest.h>

#include <string>

#include "disc/display_width.h"
#include "disc/progress.h"
#include "disc/system/fixes.h"

namespace {

struct LineCase {
  const char* name;
  const char* phase;
  uint64_t done, total;
  const char* file;
  size_t columns;
  const char* want;
};

class ProgressText : public testing::TestWithParam<LineCase> {};

TEST_P(ProgressText, FitsTheConsole) {
  const LineCase& c = GetParam();
  std::string line = progress_text(c.phase, c.done, c.total, c.file, c.columns);
  EXPECT_EQ(line, c.want);
  if (c.columns > 0) {
    EXPECT_LT(display_width(line), c.columns);
  }
}

const LineCase kLines[] = {
    {"gigabytes", "copying", 1234567890, 3221225472, "big.dat", 80,
     "copying: 1.2 of 3.2 GB  big.dat"},
    {"megabytes", "copying", 812345678, 999999999, "a.dat", 80, "copying: 812 of 999 MB  a.dat"},
    {"bytes", "copying", 12, 900, "a.dat", 80, "copying: 12 of 900 bytes  a.dat"},
    {"done_past_total", "copying", 5000, 4000, "", 80, "copying: 4 of 4 KB"},
    {"no_total", "checking", 0, 0, "", 80, "checking"},
    {"no_width", "checking", 0, 0, "a.dat", 0, "checking  a.dat"},
    // The name keeps its end, the part that tells files apart.
    {"name_cut", "copying", 0, 2000, "voice\\chapter01\\a001.ogg", 30,
     "copying: 0 of 2 KB  ...01.ogg"},
    // A kanji is two columns: one that would end past the edge goes whole.
    {"kanji_cut", "copying", 0, 2000, u8"シナリオ\\表\\ソフト.txt", 32,
     u8"copying: 0 of 2 KB  ...フト.txt"},
    {"phase_cut", "reading OLD and NEW", 1, 2000, "a.dat", 12, "reading OLD"},
    {"no_room_for_name", "copying", 0, 2000, "a.dat", 22, "copying: 0 of 2 KB"},
};

INSTANTIATE_TEST_SUITE_P(Lines, ProgressText, testing::ValuesIn(kLines),
                         [](const auto& test) { return std::string(test.param.name); });

struct CommandCase {
  const char* name;
  const char* folder;
  const char* linux_command;
  const char* windows_command;
};

class ClearReadOnly : public testing::TestWithParam<CommandCase> {};

TEST_P(ClearReadOnly, TypedAsTheSystemTakesIt) {
  const CommandCase& c = GetParam();
#ifdef _WIN32
  EXPECT_EQ(clear_read_only_command(c.folder), c.windows_command);
#else
  EXPECT_EQ(clear_read_only_command(c.folder), c.linux_command);
#endif
}

const CommandCase kCommands[] = {
    {"plain", "/work/old", "chmod -R u+w '/work/old'", "attrib -r \"/work/old\\*\" /s"},
    {"blanks_and_japanese", u8"C:\\My Games\\星空 1.0", u8"chmod -R u+w 'C:\\My Games\\星空 1.0'",
     u8"attrib -r \"C:\\My Games\\星空 1.0\\*\" /s"},
    {"trailing_separator", "C:\\Games\\", "chmod -R u+w 'C:\\Games\\'",
     "attrib -r \"C:\\Games\\*\" /s"},
    {"drive_root", "D:\\", "chmod -R u+w 'D:\\'", "attrib -r \"D:\\*\" /s"},
    // A quote ends the shell's quoting: it is closed, escaped and opened again.
    {"quote", "/work/it's", "chmod -R u+w '/work/it'\\''s'", "attrib -r \"/work/it's\\*\" /s"},
};

INSTANTIATE_TEST_SUITE_P(Folders, ClearReadOnly, testing::ValuesIn(kCommands),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
