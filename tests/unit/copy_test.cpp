// The copy step's pure parts: which files it takes, the paths it forms, the names it refuses, its
// temporary files' names and the figures of its progress line. The tables run natively and under
// Wine.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "plan/copy_paths.h"
#include "plan/copy_plan.h"
#include "plan/copy_selection.h"
#include "plan/file_names.h"
#include "plan/progress_figures.h"
#include "plan/space_needed.h"
#include "plan/temp_names.h"
#include "plan/update_state.h"
#include "setuplist/setup_record.h"
#include "setuplist/text.h"
#include "test_support.h"

namespace {

// Selection and plan -------------------------------------------------------------------------

// A game folder that has nothing yet, and a medium that has every file, of 10 bytes.
GameEntry nothing_there(void*, const char*) {
  return GameEntry{false, false, 0, false, false, false};
}
bool every_source(void*, int32_t, uint64_t* size) {
  *size = 10;
  return true;
}
const GameView kFreshGame{nullptr, nothing_there, every_source, "C:\\Game"};

void list_files(const std::vector<std::pair<std::string, uint32_t>>& entries) {
  reset_tables();
  for (const auto& [name, mask] : entries) {
    copy_bounded(FileTable.file_name[FileTable.file_count], kFileNameWidth, name.c_str());
    FileTable.type_mask[FileTable.file_count++] = mask;
  }
}

TEST(Selection, TakesTheFirstEightTypesInListOrder) {
  list_files({{"type0", 0x1},
              {"no_type", 0x80000000u},
              {"type8", 0x100},
              {"type7", 0x80},
              {"type1", 0x2},
              {"type31", 0x80000000u},
              {"again_type0", 0x1}});
  plan_copy(FileTable, kCopiedTypesMask, kFreshGame, &UpdatePlan);
  std::vector<std::string> planned;
  planned.reserve(static_cast<size_t>(UpdatePlan.step_count));
  for (int32_t i = 0; i < UpdatePlan.step_count; ++i)
    planned.emplace_back(FileTable.file_name[UpdatePlan.steps[i].entry]);
  const std::vector<std::string> selected = {"type0", "type7", "type1", "again_type0"};
  EXPECT_EQ(planned, selected);

  // The copy takes its files from the plan.
  CopyCursor = 0;
  CopyMask = 255;
  std::vector<std::string> taken;
  char name[1024];
  while (next_copy_file(name) == 0)
    taken.emplace_back(name);
  EXPECT_EQ(taken, selected);
  EXPECT_EQ(CopyCursor, FileTable.file_count);
  EXPECT_EQ(next_copy_file(name), 1);  // stays exhausted
  reset_tables();
  UpdatePlan.step_count = 0;
}

TEST(Selection, EmptyTableIsExhaustedAtOnce) {
  reset_tables();
  plan_copy(FileTable, kCopiedTypesMask, kFreshGame, &UpdatePlan);
  EXPECT_EQ(UpdatePlan.step_count, 0);
  CopyCursor = 0;
  char name[1024] = "untouched";
  EXPECT_EQ(next_copy_file(name), 1);
  EXPECT_STREQ(name, "untouched");
}

// The updater makes one folder level a file: the parent of each file's folder must be there,
// made by an earlier file. A level it could not make is not there for the next file.
TEST(CopyPlan, MakesOneFolderLevelAFile) {
  const std::vector<std::pair<std::string, std::string>> copies = {
      {"top.txt", "adds"},
      {"a\\x.txt", "makes its folder"},                 // one level: the game folder is its parent
      {"a\\b\\y.txt", "makes its folder"},              // a was made by the file before
      {"n\\m\\z.txt", "missing-folder"},                // nothing made n
      {"N/M/k/w.txt", "missing-folder"},                // nor n\\m, whatever the case and separator
      {"\x83\x5C\\\x95\x5C\\v.txt", "missing-folder"},  // a second byte 0x5C is no separator
      {"\x83\x5C\\w.txt", "makes its folder"},
      {"\x83\x5C\\\x95\x5C\\v.txt", "makes its folder"},
      {"\x83\x7C\\\x95\x5C\\v.txt", "missing-folder"},  // another character
  };
  std::vector<std::pair<std::string, uint32_t>> entries;
  std::vector<std::string> expected;
  for (const auto& [name, outcome] : copies) {
    entries.emplace_back(name, 1);
    expected.push_back(outcome);
  }
  list_files(entries);
  CopyPlan plan;
  plan_copy(FileTable, kCopiedTypesMask, kFreshGame, &plan);
  std::vector<std::string> outcomes;
  for (int32_t i = 0; i < plan.step_count; ++i) {
    const PlanStep& step = plan.steps[i];
    outcomes.emplace_back(step.refusal == StepRefusal::missing_folder ? "missing-folder"
                          : step.makes_folder                         ? "makes its folder"
                                                                      : "adds");
  }
  EXPECT_EQ(outcomes, expected);
  reset_tables();
}

// Paths ----------------------------------------------------------------------------------------

struct PathCase {
  const char* name;
  std::string base, data, game, file;
  std::string directory_part, directory, destination, source;
};

void PrintTo(const PathCase& c, std::ostream* os) {
  *os << c.name;
}

class CopyPathsTable : public testing::TestWithParam<PathCase> {};

TEST_P(CopyPathsTable, JoinEachSeamWithOneBackslash) {
  const PathCase& c = GetParam();
  CopyPaths paths;
  compose_copy_paths(c.base.c_str(), c.data.c_str(), c.game.c_str(), c.file.c_str(), &paths);
  EXPECT_EQ(paths.directory_part, c.directory_part);
  EXPECT_EQ(paths.directory, c.directory);
  EXPECT_EQ(paths.directory_fits, !c.directory.empty());
  EXPECT_EQ(paths.destination, c.destination);
  EXPECT_EQ(paths.source, c.source);
}

const PathCase kPathCases[] = {
    {"plain", "E:\\Medium", "GAME", "C:\\Game", "a.txt", "", "C:\\Game\\", "C:\\Game\\a.txt",
     "E:\\Medium\\GAME\\a.txt"},
    {"drive_root_medium", "E:\\", "GAME", "C:\\Game", "a.txt", "", "C:\\Game\\", "C:\\Game\\a.txt",
     "E:\\GAME\\a.txt"},
    {"empty_data_folder", "E:\\Medium", "", "C:\\Game", "a.txt", "", "C:\\Game\\",
     "C:\\Game\\a.txt", "E:\\Medium\\a.txt"},
    {"data_folder_with_backslash", "E:\\M", "GAME\\", "C:\\G", "a", "", "C:\\G\\", "C:\\G\\a",
     "E:\\M\\GAME\\a"},
    {"subfolder", "E:\\M", "GAME", "C:\\G", "sub\\b.dat", "sub\\", "C:\\G\\sub\\",
     "C:\\G\\sub\\b.dat", "E:\\M\\GAME\\sub\\b.dat"},
    {"two_levels", "E:\\M", "GAME", "C:\\G", "a/b/c", "a/b/", "C:\\G\\a/b/", "C:\\G\\a/b/c",
     "E:\\M\\GAME\\a/b/c"},
    {"so_folder", "E:\\M", "GAME", "C:\\G", "\x83\x5C\\x.txt", "\x83\x5C\\", "C:\\G\\\x83\x5C\\",
     "C:\\G\\\x83\x5C\\x.txt", "E:\\M\\GAME\\\x83\x5C\\x.txt"},
    {"hyo_file_has_no_folder", "E:\\M", "GAME", "C:\\G", "\x95\x5C.txt", "", "C:\\G\\",
     "C:\\G\\\x95\x5C.txt", "E:\\M\\GAME\\\x95\x5C.txt"},
    // A medium or data folder whose name ends in a character with second byte 0x5C keeps it.
    {"medium_ends_in_hyo", "E:\\\x95\x5C", "GAME", "C:\\G", "a", "", "C:\\G\\", "C:\\G\\a",
     "E:\\\x95\x5C\\GAME\\a"},
    {"data_folder_ends_in_so", "E:\\M", "\x83\x5C", "C:\\G", "a", "", "C:\\G\\", "C:\\G\\a",
     "E:\\M\\\x83\x5C\\a"},
    {"data_folder_ends_in_so_and_backslash", "E:\\M", "\x83\x5C\\", "C:\\G", "a", "", "C:\\G\\",
     "C:\\G\\a", "E:\\M\\\x83\x5C\\a"},
    // The folder functions take no path of 260 bytes or more: such a folder is not formed.
    {"directory_of_259_bytes", "E:\\M", "D", std::string(250, 'g'), "abcdefg\\x", "abcdefg\\",
     std::string(250, 'g') + "\\abcdefg\\", std::string(250, 'g') + "\\abcdefg\\x",
     "E:\\M\\D\\abcdefg\\x"},
    {"directory_of_260_bytes", "E:\\M", "D", std::string(250, 'g'), "abcdefgh\\x", "abcdefgh\\", "",
     std::string(250, 'g') + "\\abcdefgh\\x", "E:\\M\\D\\abcdefgh\\x"},
};

INSTANTIATE_TEST_SUITE_P(Table, CopyPathsTable, testing::ValuesIn(kPathCases), CaseName());

// Names that stay in the game folder -----------------------------------------------------------

struct NameCase {
  const char* name;
  std::string file_name;
  bool safe;
  NameRefusal refusal = NameRefusal::none;  // of a safe name
};

void PrintTo(const NameCase& c, std::ostream* os) {
  *os << c.name;
}

class FileNames : public testing::TestWithParam<NameCase> {};

TEST_P(FileNames, StayInTheGameFolder) {
  const NameCase& c = GetParam();
  EXPECT_EQ(is_safe_file_name(c.file_name.c_str()), c.safe);
  NameCheck check = check_file_name(c.file_name.c_str(), false);
  EXPECT_EQ(check.refusal, c.safe ? c.refusal : NameRefusal::outside);
}

const NameCase kNameCases[] = {
    {"plain", "a.txt", true},
    {"subfolder", "sub\\a.txt", true},
    {"forward_slash", "sub/a.txt", true},
    {"dots_inside_name", "a..b.txt", true},
    {"leading_dots_of_a_name", "..a", true},
    {"hidden_file", ".hidden", true},
    {"dot_folder", ".\\a", true},
    {"device_word_inside_name", "CONFIG.SYS", true},
    {"com0_is_no_device", "COM0", true},
    {"com10_is_no_device", "COM10.txt", true},
    {"null_is_no_device", "NULL", true},
    {"so_folder", "\x83\x5C\\x.txt", true},
    {"dash_then_dots", "\x81\x5C..", true, NameRefusal::changed},  // ― and dots Windows drops
    {"parent", "..\\x.txt", false},
    {"parent_deeper", "sub\\..\\..\\x.txt", false},
    {"parent_alone", "..", false},
    {"parent_at_end", "sub\\..", false},
    {"parent_with_slash", "../x", false},
    {"parent_trimmed_by_windows", ". .\\x", false},
    {"three_dots", "...\\x", false},
    {"parent_with_trailing_blank", ".. \\x", false},
    {"leading_backslash", "\\Windows\\x.dll", false},
    {"leading_slash", "/x", false},
    {"drive", "C:x", false},
    {"drive_and_root", "C:\\x", false},
    {"stream", "a.txt:evil", false},
    {"colon_after_stray_lead_byte", "\x81:x", false},
    {"con", "CON", false},
    {"lower_case_con", "con", false},
    {"nul_with_extension", "NUL.TXT", false},
    {"aux_with_extension", "aux.dat", false},
    {"com1", "COM1", false},
    {"lpt9_with_extension", "lpt9.log", false},
    {"device_in_folder", "sub\\PRN", false},
    {"device_as_folder", "PRN\\x", false},
    {"device_with_blank_before_dot", "CON .txt", false},
    {"empty", "", false},
    // Names the updater takes, which Windows refuses or changes.
    {"refused_character", "a<b.txt", true, NameRefusal::character},
    {"control_character", "a\x1B.txt", true, NameRefusal::character},
    {"bar_as_second_byte", "\x83\x7C.txt", true},  // ポ
    {"trailing_dot", "a.txt.", true, NameRefusal::changed},
    {"folder_with_trailing_blank", "sub \\a", true, NameRefusal::changed},
    {"update_ini_in_a_folder", "sub\\update.ini", true},
};

// The disc's own files, where the data files sit beside them.
TEST(FileNames, DiscFilesBesideTheList) {
  EXPECT_EQ(check_file_name("Update.Ini", true).refusal, NameRefusal::disc_file);
  EXPECT_EQ(check_file_name(".\\UPDATE.EXE\\x", true).refusal, NameRefusal::disc_file);
  EXPECT_EQ(check_file_name("update.ini", false).refusal, NameRefusal::none);
  EXPECT_EQ(check_file_name("update.inix", true).refusal, NameRefusal::none);
  EXPECT_EQ(check_file_name("a<b", false).character, '<');
}

INSTANTIATE_TEST_SUITE_P(Table, FileNames, testing::ValuesIn(kNameCases), CaseName());

// Room on the game's drive ---------------------------------------------------------------------

struct SpaceCase {
  const char* name;
  std::vector<PlannedCopy> copies;
  uint64_t cluster;
  uint64_t needed;
};

void PrintTo(const SpaceCase& c, std::ostream* os) {
  *os << c.name;
}

class SpaceNeeded : public testing::TestWithParam<SpaceCase> {};

TEST_P(SpaceNeeded, IsTheFullestMomentOfTheCopy) {
  const SpaceCase& c = GetParam();
  EXPECT_EQ(peak_space_needed(c.copies.data(), static_cast<int>(c.copies.size()), c.cluster),
            c.needed);
}

constexpr uint64_t kGiB = 1ull << 30;

const SpaceCase kSpaceCases[] = {
    {"nothing", {}, 4096, 0},
    {"new_files_add_up", {{100, 0}, {200, 0}}, 0, 300},
    {"rounded_to_clusters", {{1, 0}, {4097, 0}}, 4096, 4096 + 8192},
    {"replacing_needs_the_new_file_beside_the_old", {{1000, 1000}}, 0, 1000},
    {"a_smaller_file_first_frees_room", {{10, 500}, {400, 0}}, 0, 10},
    {"a_later_file_sees_the_earlier_growth", {{200, 0}, {150, 100}}, 0, 350},
    {"growth_then_a_shrink", {{100, 0}, {10, 110}}, 0, 110},
    {"missing_sources_count_nothing", {{0, 0}, {0, 700}}, 4096, 0},
    {"files_beyond_4_gib", {{5 * kGiB, 0}, {5 * kGiB, 0}}, 4096, 10 * kGiB},
};

INSTANTIATE_TEST_SUITE_P(Table, SpaceNeeded, testing::ValuesIn(kSpaceCases), CaseName());

// Temporary files ------------------------------------------------------------------------------

struct TempNameCase {
  const char* name;
  std::string folder;
  unsigned number;
  std::string made;  // empty: does not fit MAX_PATH
};

void PrintTo(const TempNameCase& c, std::ostream* os) {
  *os << c.name;
}

class TempNames : public testing::TestWithParam<TempNameCase> {};

TEST_P(TempNames, AreMadeBesideTheFileAndKnownAgain) {
  const TempNameCase& c = GetParam();
  char made[260];
  EXPECT_EQ(make_temp_name(made, sizeof made, c.folder.c_str(), c.number), !c.made.empty());
  if (c.made.empty()) return;
  EXPECT_EQ(std::string(made), c.made);
  EXPECT_TRUE(is_temp_name(made + c.made.size() - 11));
}

const std::string kLongestFolder = "C:\\" + std::string(kTempFolderMost - 4, 'f') + "\\";

const TempNameCase kTempNameCases[] = {
    {"folder_with_its_separator", "C:\\game\\", 0xA6DD, "C:\\game\\updA6DD.tmp"},
    {"folder_without_one", "C:\\game", 0x1, "C:\\game\\upd0001.tmp"},
    {"four_digits_of_the_number", "C:\\game\\", 0x12345, "C:\\game\\upd2345.tmp"},
    {"folder_ending_in_5c_second_byte", "C:\\ゲーム表", 0xBEEF, "C:\\ゲーム表\\updBEEF.tmp"},
    {"folder_with_a_slash", "C:\\game\\sub/", 0xF, "C:\\game\\sub/upd000F.tmp"},
    {"the_longest_folder", kLongestFolder, 0xA, kLongestFolder + "upd000A.tmp"},
    {"no_room_within_max_path", kLongestFolder + "ggg\\", 0xA, ""},
};

INSTANTIATE_TEST_SUITE_P(Table, TempNames, testing::ValuesIn(kTempNameCases), CaseName());

// Only the copy's own names are taken for left-overs: those of GetTempFileNameA (Wine writes
// them in lower case, without leading zeros) and those made above.
TEST(TempNames, OnlyTheCopysOwnShapeIsKnown) {
  for (const char* ours : {"updA6DD.tmp", "upda6dd.tmp", "UPD1.TMP", "upd0000.tmp", "Upd9f.Tmp"})
    EXPECT_TRUE(is_temp_name(ours)) << ours;
  for (const char* other : {"upd.tmp", "upd12345.tmp", "updxyz.tmp", "update.tmp", "upd1.tmp.bak",
                            "xupd1.tmp", "upd1.tm", "upd1tmp", "upd１.tmp", "upd 1.tmp", ""}) {
    EXPECT_FALSE(is_temp_name(other)) << other;
  }
}

// Progress -------------------------------------------------------------------------------------

struct FiguresCase {
  const char* name;
  uint64_t done, total;
  unsigned long done_mb, total_mb, percent;
};

void PrintTo(const FiguresCase& c, std::ostream* os) {
  *os << c.name;
}

class ProgressLine : public testing::TestWithParam<FiguresCase> {};

TEST_P(ProgressLine, ShowsWholeMegabytes) {
  const FiguresCase& c = GetParam();
  ProgressFigures figures = progress_figures(c.done, c.total);
  EXPECT_EQ(figures.done_mb, c.done_mb);
  EXPECT_EQ(figures.total_mb, c.total_mb);
  EXPECT_EQ(figures.percent, c.percent);
}

constexpr uint64_t kMiB = 1ull << 20;

const FiguresCase kFiguresCases[] = {
    {"nothing_yet", 0, 1536 * kMiB, 0, 1536, 0},
    {"done_rounds_down_size_rounds_up", 3 * kMiB - 1, 10 * kMiB + 1, 2, 11, 29},
    {"a_file_under_a_megabyte", 100000, 300000, 0, 1, 33},
    {"almost_done", 1536 * kMiB - 1, 1536 * kMiB, 1535, 1536, 99},
    {"done", 3 * kGiB, 3 * kGiB, 3072, 3072, 100},
    {"a_source_that_grew", 5 * kMiB, 4 * kMiB, 4, 4, 100},
    {"an_empty_file", 0, 0, 0, 0, 100},
    {"beyond_4_gib", 5 * kGiB, 10 * kGiB, 5120, 10240, 50},
    {"megabytes_beyond_32_bits", 1ull << 62, 1ull << 63, 0xFFFFFFFFul, 0xFFFFFFFFul, 50},
};

INSTANTIATE_TEST_SUITE_P(Table, ProgressLine, testing::ValuesIn(kFiguresCases), CaseName());

}  // namespace
