// The preview of a disc against a game folder made in a scratch folder: what the updater would do
// to each copied file, as Windows and Wine will do it. Runs on Linux (a game folder as Wine keeps
// it) and under Wine (the Windows build's own file functions).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "disc/report.h"
#include "plan/space_needed.h"
#include "temp_dir.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/xattr.h>
#endif

namespace {

// kNewer: the game's file was written an hour after the disc's; kBarelyNewer: 1.5 s after, within
// what a disc's whole seconds or FAT's two blur; every other is an hour older.
enum Attribute : unsigned {
  kReadOnly = 1,
  kHidden = 2,
  kSystem = 4,
  kFolder = 16,
  kNewer = 32,
  kBarelyNewer = 64
};

struct GameFile {
  std::string name;  // UTF-8, '/' between folders
  std::string bytes;
  unsigned attributes;
};

// Line and kind of each problem, then of each note ("note " and its kind).
using Found = std::vector<std::pair<int, std::string>>;

struct AgainstCase {
  const char* name;
  std::string files;  // the list's file lines under type [A], from line 5 on
  std::vector<std::string> disc;
  std::vector<GameFile> game;
  std::vector<std::string> outcomes;  // the outcome, then a word of the reason when it fails
  Found problems;
};

const std::string kHead = "#INSTALL_LST\n[A]\n#FILE\n[A]\n";
const char kDiscBytes[] = "disc";

// Sets what Windows calls the file's attributes; false when this filesystem can't keep them.
bool set_attributes(const std::filesystem::path& path, unsigned attributes) {
#ifdef _WIN32
  DWORD a = (attributes & kReadOnly ? FILE_ATTRIBUTE_READONLY : 0) |
            (attributes & kHidden ? FILE_ATTRIBUTE_HIDDEN : 0) |
            (attributes & kSystem ? FILE_ATTRIBUTE_SYSTEM : 0);
  return a == 0 || SetFileAttributesA(path.string().c_str(), a) != FALSE;
#else
  // As Wine keeps them: the hidden and system bits in user.DOSATTRIB, read-only as the mode.
  unsigned dos = attributes & (kHidden | kSystem);
  if (dos != 0) {
    std::string value = "0x" + std::to_string(dos);
    if (setxattr(path.c_str(), "user.DOSATTRIB", value.data(), value.size(), 0) != 0) return false;
  }
  return (attributes & kReadOnly) == 0 || chmod(path.c_str(), 0444) == 0;
#endif
}

const AgainstCase kAgainstCases[] = {
    {"new_replaced_identical",
     "new.txt\nchanged.txt\nsame.txt\nsame_size.txt\n",
     {"new.txt", "changed.txt", "same.txt", "same_size.txt"},
     {{"changed.txt", "older data", 0}, {"same.txt", kDiscBytes, 0}, {"same_size.txt", "DISC", 0}},
     {"new", "replaces", "identical", "replaces"},
     {}},
    {"names_without_regard_to_case",
     "Data\\Map.dat\nDATA\\NEW.dat\n\x82\x60\x82\x61.txt\n",  // ＡＢ.txt, the game has ａｂ.txt
     {"Data/Map.dat", "DATA/NEW.dat", u8"ＡＢ.txt"},
     {{"data/map.dat", kDiscBytes, 0}, {u8"ａｂ.txt", "old", 0}},
     {"identical", "new", "replaces"},
     {}},
    {"read_only_kept_then_replaced_by_a_second_entry",
     "ro.txt\nro.txt\n",
     {"ro.txt"},
     {{"ro.txt", "old", kReadOnly}},
     {"fails read-only", "replaces"},
     {}},
    {"hidden_kept",
     "h.txt\nh.txt\n",
     {"h.txt"},
     {{"h.txt", "old", kHidden}},
     {"fails hidden", "fails hidden"},
     {}},
    {"system_kept", "s.txt\n", {"s.txt"}, {{"s.txt", "old", kSystem}}, {"fails system"}, {}},
    {"missing_middle_folder",
     "a\\b\\c.txt\na\\x.txt\na\\b\\y.txt\nn\\m\\z.txt\nn\\m\\w.txt\n",
     {"a/b/c.txt", "a/x.txt", "a/b/y.txt", "n/m/z.txt", "n/m/w.txt"},
     {},
     {"fails \"a\"", "new", "new", "fails \"n\"", "fails \"n\""},
     {{5, "missing-folder"}, {8, "missing-folder"}, {9, "missing-folder"}}},
    {"folder_and_file_in_the_way",
     "x.txt\nf\\y.txt\n",
     {"x.txt", "f/y.txt"},
     {{"x.txt", "", kFolder}, {"f", "file", 0}},
     {"fails folder", "fails file"},
     {}},
    {"refused_name_and_missing_source",
     "..\\up.txt\ngone.txt\n",
     {},
     {},
     {"fails outside", "fails source"},
     {{5, "unsafe-name"}, {6, "missing-source"}}},
    {"listed_twice", "twice.txt\ntwice.txt\n", {"twice.txt"}, {}, {"new", "identical"}, {}},
    {"japanese_names_with_a_0x5c_second_byte",
     "\x95\x5C\\\x83\x5C.txt\n",  // 表\ソ.txt
     {u8"表/ソ.txt"},
     {{u8"表/ソ.txt", "old", 0}},
     {"replaces"},
     {}},
    {"game_file_newer_than_the_disc",
     "a.txt\nb.txt\n",
     {"a.txt", "b.txt"},
     {{"a.txt", "newer", kNewer}, {"b.txt", "older", 0}},
     {"replaces", "replaces"},
     {{5, "note older-than-installed"}}},
    // A played game: its saves and settings, newer than the disc's copies, are the player's own.
    {"player_data_newer_than_the_disc",
     "save\\data01.sav\nCONFIG.INI\nSaveData\\slot.dat\nold.sav\ngame.cfg\nreadme.txt\n",
     {"save/data01.sav", "CONFIG.INI", "SaveData/slot.dat", "old.sav", "game.cfg", "readme.txt"},
     {{"save/data01.sav", "played", kNewer},
      {"config.ini", "played", kNewer},
      {"savedata/slot.dat", "played", kNewer},
      {"old.sav", "older", 0},
      {"game.cfg", "played", kNewer},
      {"readme.txt", "newer", kNewer}},
     {"replaces", "replaces", "replaces", "replaces", "replaces", "replaces"},
     {{5, "player-data"},
      {6, "player-data"},
      {7, "player-data"},
      {9, "player-data"},
      {10, "note older-than-installed"}}},
    {"game_file_newer_within_the_disc_s_seconds",
     "a.txt\n",
     {"a.txt"},
     {{"a.txt", "older", kBarelyNewer}},
     {"replaces"},
     {}},
    {"game_up_to_date",
     "a.txt\nb.txt\n",
     {"a.txt", "b.txt"},
     {{"a.txt", kDiscBytes, 0}, {"b.txt", kDiscBytes, kNewer}},
     {"identical", "identical"},
     {{0, "note changes-nothing"}}},
    {"folder_the_game_has_needs_no_note",
     "sub\\deep\\x.txt\n",
     {"sub/deep/x.txt"},
     {{"sub/deep", "", kFolder}},
     {"new"},
     {}},
    {"over_a_limit_nothing_is_copied",
     "ok.txt\n" + std::string(32, 'n') + "\n",
     {"ok.txt"},
     {},
     {"fails limit"},
     {{6, "limit"}}},
};

void PrintTo(const AgainstCase& c, std::ostream* os) {
  *os << c.name;
}

class Against : public testing::TestWithParam<AgainstCase> {};

TEST_P(Against, OutcomeOfEachCopiedFile) {
  const AgainstCase& c = GetParam();
  TempDir disc;
  TempDir game;
  disc.write("update.ini", kHead + c.files);
  disc.write("update.exe", stand_in_update_exe());
  for (const std::string& file : c.disc)
    disc.write("GAME/" + file, kDiscBytes);
  for (const GameFile& file : c.game) {
    std::filesystem::path path = game.path() / std::filesystem::u8path(file.name);
    if (file.attributes & kFolder) {
      std::filesystem::create_directories(path);
      continue;
    }
    game.write(file.name, file.bytes);
    auto now = std::filesystem::file_time_type::clock::now();
    std::filesystem::last_write_time(
        path, file.attributes & kBarelyNewer
                  ? now + std::chrono::milliseconds(1500)
                  : now + std::chrono::hours(file.attributes & kNewer ? 1 : -1));
    if (!set_attributes(path, file.attributes & ~(kNewer | kBarelyNewer)))
      GTEST_SKIP() << "this filesystem keeps no DOS attributes";
  }

  CheckReport report;
  std::string error;
  ASSERT_TRUE(build_report(disc.path().string(), game.path().string(), &report, &error)) << error;
  std::vector<std::string> outcomes;
  for (const PreviewEntry& entry : report.entries) {
    std::string outcome = outcome_name(entry.outcome);
    EXPECT_EQ(entry.reason.empty(), entry.outcome != Outcome::fails) << entry.file_name;
    EXPECT_EQ(entry.bytes, entry.outcome == Outcome::fails ? 0u : sizeof kDiscBytes - 1);
    outcomes.push_back(outcome);
  }
  ASSERT_EQ(outcomes.size(), c.outcomes.size());
  for (size_t i = 0; i < outcomes.size(); ++i) {
    std::string expected = c.outcomes[i];
    std::string word =
        expected.find(' ') == std::string::npos ? "" : expected.substr(expected.find(' ') + 1);
    EXPECT_EQ(outcomes[i], expected.substr(0, expected.find(' '))) << i;
    EXPECT_NE(report.entries[i].reason.find(word), std::string::npos) << report.entries[i].reason;
  }
  Found found;
  for (const Problem& p : report.problems)
    found.emplace_back(p.line, problem_kind_name(p.kind));
  bool problems = !found.empty();
  for (const Note& note : report.notes)
    found.emplace_back(note.line, std::string("note ") + note_kind_name(note.kind));
  EXPECT_EQ(found, c.problems);
  bool fails = std::any_of(c.outcomes.begin(), c.outcomes.end(),
                           [](const std::string& o) { return o.rfind("fails", 0) == 0; });
  EXPECT_EQ(report_finds_faults(report), fails || problems);
}

INSTANTIATE_TEST_SUITE_P(Report, Against, testing::ValuesIn(kAgainstCases),
                         [](const auto& test) { return std::string(test.param.name); });

// The room counted as the updater counts it before its first copy: a kept game file adds and
// frees nothing, an identical one is rewritten all the same.
TEST(AgainstSpace, CountedAsTheUpdaterCountsIt) {
  TempDir disc;
  TempDir game;
  disc.write("update.ini", kHead + "big.txt\nro.txt\nsame.txt\n");
  disc.write("GAME/big.txt", std::string(10000, 'b'));
  disc.write("GAME/ro.txt", std::string(9000, 'r'));
  disc.write("GAME/same.txt", std::string(100, 's'));
  game.write("big.txt", std::string(5000, 'o'));
  game.write("ro.txt", "old");
  game.write("same.txt", std::string(100, 's'));
  ASSERT_TRUE(set_attributes(game.path() / "ro.txt", kReadOnly));

  CheckReport report;
  std::string error;
  ASSERT_TRUE(build_report(disc.path().string(), game.path().string(), &report, &error)) << error;
  ASSERT_TRUE(report.space.free_known);
  ASSERT_GT(report.space.cluster_size, 0u);
  const PlannedCopy copies[] = {{10000, 5000}, {0, 0}, {100, 100}};
  EXPECT_EQ(report.space.needed, peak_space_needed(copies, 3, report.space.cluster_size));
  EXPECT_TRUE(report.space.fits);
}

TEST(AgainstSpace, GameFolderThatIsNoFolder) {
  TempDir disc;
  disc.write("update.ini", kHead);
  disc.write("file", "");
  CheckReport report;
  std::string error;
  EXPECT_FALSE(
      build_report(disc.path().string(), (disc.path() / "file").string(), &report, &error));
  EXPECT_NE(error.find("not a folder"), std::string::npos) << error;
}

}  // namespace
