// The updater and update-check --against make one copy plan: each row's list and game folder run
// through the updater's own path (its view over the file functions, on the stand-in) and through
// update-check's report on a game folder as Wine keeps one, and both must plan the same steps,
// the same room, and the answer the row gives.
#include <sys/stat.h>
#include <sys/xattr.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "app_fixture.h"
#include "check/temp_dir.h"
#include "disc/cp932_text.h"
#include "disc/report.h"
#include "plan/update_state.h"
#include "setuplist/list_reader.h"
#include "setuplist/setup_parser.h"
#include "setuplist/setup_record.h"
#include "setuplist/text.h"
#include "update/plan_update.h"

namespace {

enum Attribute : unsigned { kReadOnly = 1, kHidden = 2, kSystem = 4, kFolder = 16 };

struct GameFile {
  std::string name;  // code page 932, '/' between folders
  size_t size;
  unsigned attributes;
  std::string stored_as{};  // UTF-8: how update-check's game folder names it, when not so
};

struct AgreementCase {
  const char* name;
  std::string files;  // the list's file lines, code page 932
  std::vector<std::pair<std::string, size_t>> medium;
  std::vector<GameFile> game;
  std::vector<std::string> steps;
  std::vector<std::pair<uint64_t, uint64_t>> room;
};

void PrintTo(const AgreementCase& c, std::ostream* os) {
  *os << c.name;
}

// Types T0 to T8; a line under no header has no type.
const std::string kHead =
    "#INSTALL_LST\n[T0]\n[T1]\n[T2]\n[T3]\n[T4]\n[T5]\n[T6]\n[T7]\n[T8]\n#FILE\n";

// "<entry> adds", "<entry> adds, makes its folder", "<entry> replaces the game's" or "... a copy"
// (of an earlier step), "<entry> fails <why>", why in the order of StepRefusal.
std::string described(const PlanStep& step) {
  static const char* const kWhy[] = {
      "",       "unsafe-name",    "path-too-long",   "folder-in-the-way", "read-only", "hidden",
      "system", "missing-source", "file-in-the-way", "missing-folder",    "bad-name"};
  std::string out = std::to_string(step.entry) + " ";
  if (step.outcome == StepOutcome::fails) {
    out += std::string("fails ") + kWhy[static_cast<int>(step.refusal)];
  } else if (step.outcome == StepOutcome::adds) {
    out += "adds";
  } else {
    out += step.replaces_game_file ? "replaces the game's" : "replaces a copy";
  }
  return out + (step.makes_folder ? ", makes its folder" : "");
}

std::vector<std::string> described(const std::vector<PlanStep>& steps) {
  std::vector<std::string> out;
  out.reserve(steps.size());
  for (const PlanStep& step : steps)
    out.push_back(described(step));
  return out;
}

std::string slashed(std::string name) {
  for (size_t i = 0; i < name.size(); ++i) {
    if (is_cp932_lead(static_cast<unsigned char>(name[i]))) {
      ++i;
    } else if (name[i] == '\\') {
      name[i] = '/';
    }
  }
  return name;
}

class Agreement : public AppTest, public testing::WithParamInterface<AgreementCase> {
 protected:
  // The updater: the list parsed by its parser, the plan made over the stand-in's file functions.
  std::vector<PlanStep> updater_plan(const std::string& list) {
    write("medium/update.ini", list);
    for (const auto& [name, size] : GetParam().medium)
      write("medium/GAME/" + slashed(name), std::string(size, 'n'));
    for (const GameFile& f : GetParam().game) {
      std::string path = "game/" + slashed(f.name);
      if (f.attributes & kFolder) {
        std::filesystem::create_directories(work_ / path);
        continue;
      }
      write(path, std::string(f.size, 'o'));
      if (f.attributes & kReadOnly) make_read_only(path);
      standin::set_dos_attributes((work_ / path).string(), f.attributes & (kHidden | kSystem));
    }
    FILE* file = open_setup_list("update.ini");
    parse_setup_list(file, SetupListHooks{});
    (void)fclose(file);
    copy_bounded(DestinationPath, sizeof DestinationPath, game_.c_str());
    plan_update();
    return std::vector<PlanStep>(UpdatePlan.steps, UpdatePlan.steps + UpdatePlan.step_count);
  }

  // update-check --against: the same list on a disc, the game as Wine keeps it.
  bool checker_plan(const std::string& list, CheckReport* report) {
    TempDir disc;
    TempDir game;
    disc.write("update.ini", list);
    for (const auto& [name, size] : GetParam().medium)
      disc.write("GAME/" + cp932_to_utf8(slashed(name)), std::string(size, 'n'));
    for (const GameFile& f : GetParam().game) {
      std::string name = f.stored_as.empty() ? cp932_to_utf8(f.name) : f.stored_as;
      std::filesystem::path path = game.path() / std::filesystem::u8path(name);
      if (f.attributes & kFolder) {
        std::filesystem::create_directories(path);
        continue;
      }
      game.write(name, std::string(f.size, 'o'));
      std::string dos = "0x" + std::to_string(f.attributes & (kHidden | kSystem));
      if ((f.attributes & (kHidden | kSystem)) != 0 &&
          setxattr(path.c_str(), "user.DOSATTRIB", dos.data(), dos.size(), 0) != 0) {
        return false;
      }
      if (f.attributes & kReadOnly) chmod(path.c_str(), 0444);
    }
    std::string error;
    EXPECT_TRUE(build_report(disc.path().string(), game.path().string(), report, &error)) << error;
    return true;
  }
};

TEST_P(Agreement, OnePlanForTheUpdaterAndTheChecker) {
  const AgreementCase& c = GetParam();
  std::string list = kHead + c.files;
  std::vector<PlanStep> updater = updater_plan(list);
  CheckReport report;
  if (!checker_plan(list, &report)) GTEST_SKIP() << "this filesystem keeps no DOS attributes";

  EXPECT_EQ(described(updater), c.steps);
  EXPECT_EQ(described(report.plan), c.steps);
  std::vector<std::pair<uint64_t, uint64_t>> room;
  room.reserve(updater.size());
  for (const PlanStep& step : updater)
    room.emplace_back(step.room.source_size, step.room.replaced_size);
  EXPECT_EQ(room, c.room);
  ASSERT_EQ(report.plan.size(), updater.size());
  for (size_t i = 0; i < updater.size(); ++i) {
    EXPECT_EQ(report.plan[i].room.source_size, updater[i].room.source_size) << i;
    EXPECT_EQ(report.plan[i].room.replaced_size, updater[i].room.replaced_size) << i;
    EXPECT_EQ(report.plan[i].earlier, updater[i].earlier) << i;
  }
  EXPECT_EQ(report.space.needed, plan_space_needed(UpdatePlan, report.space.cluster_size));
}

const AgreementCase kAgreementCases[] = {
    {"first_eight_types_in_list_order",
     "none\n[T1]\nb\n[T8]\nninth\n[T7]\na\n",
     {{"a", 10}, {"b", 20}, {"ninth", 30}, {"none", 40}},
     {{"a", 3, 0}},
     {"1 adds", "3 replaces the game's"},
     {{20, 0}, {10, 3}}},
    {"names_outside_the_game_folder",
     "[T0]\n..\\up\nCON\nsub\\nul.txt\na\n",
     {{"a", 1}},
     {},
     {"0 fails unsafe-name", "1 fails unsafe-name", "2 fails unsafe-name", "3 adds"},
     {{0, 0}, {0, 0}, {0, 0}, {1, 0}}},
    {"name_windows_refuses",
     "[T0]\na<b.txt\n",
     {{"a<b.txt", 4}},
     {},
     {"0 fails bad-name"},
     {{0, 0}}},
    // A failed copy leaves the game's file: it frees nothing.
    {"missing_source", "[T0]\ngone\n", {}, {{"gone", 7, 0}}, {"0 fails missing-source"}, {{0, 0}}},
    {"listed_again_after_its_source_was_missing",
     "[T0]\ngone\ngone\n",
     {},
     {{"gone", 9, 0}},
     {"0 fails missing-source", "1 fails missing-source"},
     {{0, 0}, {0, 0}}},
    // The first copy fails and clears the flag: the second replaces the game's file.
    {"read_only_listed_twice",
     "[T0]\nro\nro\n",
     {{"ro", 50}},
     {{"ro", 5, kReadOnly}},
     {"0 fails read-only", "1 replaces the game's"},
     {{0, 0}, {50, 5}}},
    {"hidden_listed_twice",
     "[T0]\nh\nh\n",
     {{"h", 50}},
     {{"h", 5, kHidden}},
     {"0 fails hidden", "1 fails hidden"},
     {{0, 0}, {0, 0}}},
    {"system", "[T0]\ns\n", {{"s", 50}}, {{"s", 5, kSystem}}, {"0 fails system"}, {{0, 0}}},
    {"file_replacing_a_folder",
     "[T0]\ndir\n",
     {{"dir", 50}},
     {{"dir", 0, kFolder}},
     {"0 fails folder-in-the-way"},
     {{0, 0}}},
    {"folder_where_the_game_has_a_file",
     "[T0]\nf\\y.txt\n",
     {{"f\\y.txt", 8}},
     {{"f", 4, 0}},
     {"0 fails file-in-the-way"},
     {{0, 0}}},
    {"missing_folder_one_level_down",
     "[T0]\nsub\\a.txt\nsub\\b.txt\n",
     {{"sub\\a.txt", 3}, {"sub\\b.txt", 4}},
     {},
     {"0 adds, makes its folder", "1 adds"},
     {{3, 0}, {4, 0}}},
    // The updater makes one level a file; a level it could not make is not there for the next.
    {"missing_folder_two_levels_down",
     "[T0]\na\\b\\c.txt\na\\x.txt\na\\b\\y.txt\nn\\m\\z.txt\nN/M/w.txt\n",
     {{"a\\b\\c.txt", 1},
      {"a\\x.txt", 2},
      {"a\\b\\y.txt", 3},
      {"n\\m\\z.txt", 4},
      {"N\\M\\w.txt", 5}},
     {},
     {"0 fails missing-folder", "1 adds, makes its folder", "2 adds, makes its folder",
      "3 fails missing-folder", "4 fails missing-folder"},
     {{0, 0}, {2, 0}, {3, 0}, {0, 0}, {0, 0}}},
    {"listed_again_replaces_its_earlier_copy",
     "[T0]\nsub\\a.txt\nb\n[T1]\nsub/a.txt\n",
     {{"sub\\a.txt", 100}, {"b", 1}},
     {{"sub/a.txt", 30, 0}},
     {"0 replaces the game's", "1 adds", "2 replaces a copy"},
     {{100, 30}, {1, 0}, {100, 100}}},
    // The stand-in's files keep their case: each spelling has a source of its own, and the game
    // has the first.
    {"listed_again_in_other_letter_case",
     "[T0]\nA\na\n",
     {{"A", 5}, {"a", 6}},
     {{"A", 9, 0}},
     {"0 replaces the game's", "1 replaces a copy"},
     {{5, 9}, {6, 5}}},
    {"full_width_and_greek_letters_in_other_case",
     "[T0]\nａβ.txt\nＡΒ.txt\n",
     {{"ａβ.txt", 5}, {"ＡΒ.txt", 6}},
     {{"ａβ.txt", 9, 0}},
     {"0 replaces the game's", "1 replaces a copy"},
     {{5, 9}, {6, 5}}},
    // ∵ from the NEC row and from the JIS rows, ⅰ and Ⅰ: one character each to Windows.
    {"code_page_twins_and_roman_numerals",
     "[T0]\n\x87\x9A\n\x81\xE6\n\xFA\x40\n\x87\x54\n",
     {{"\x87\x9A", 2}, {"\x81\xE6", 2}, {"\xFA\x40", 3}, {"\x87\x54", 4}},  // ∵ is one source
     {},
     {"0 adds", "1 replaces a copy", "2 adds", "3 replaces a copy"},
     {{2, 0}, {2, 2}, {3, 0}, {4, 3}}},
    // A double-byte character compares whole: its second byte is no letter to fold.
    {"double_byte_characters_compare_whole",
     "[T0]\n\x83\x61\n\x83\x41\n\x83\x61\n",
     {{"\x83\x61", 4}, {"\x83\x41", 6}},
     {},
     {"0 adds", "1 adds", "2 replaces a copy"},
     {{4, 0}, {6, 0}, {4, 4}}},
    // Stored decomposed in a copy of the game: the disc's composed name is that file.
    {"decomposed_name_in_the_game",
     "[T0]\nが.txt\n",
     {{"が.txt", 7}},
     {{"が.txt", 3, 0, u8"\u304B\u3099.txt"}},
     {"0 replaces the game's"},
     {{7, 3}}},
    // Windows drops the dot that ends the second name.
    {"name_windows_changes",
     "[T0]\na.txt\na.txt.\n",
     {{"a.txt", 2}, {"a.txt.", 3}},
     {{"a.txt", 1, 0}},
     {"0 replaces the game's", "1 replaces a copy"},
     {{2, 1}, {3, 2}}},
};

INSTANTIATE_TEST_SUITE_P(Table, Agreement, testing::ValuesIn(kAgreementCases), CaseName());

}  // namespace
