// What the setup list itself makes update.exe show: the "TEST" boxes of an install type it
// does not know, and the one message that stops a list over a limit before anything happens.
#include <gtest/gtest.h>

#include "cases/common.h"

namespace e2e {
namespace {

struct TypeCase {
  const char* name;
  std::string list;
  std::vector<std::string> test_boxes;  // the texts of the "TEST" boxes, in order
  bool game_registered;                 // then the run goes on to the UPDATE dialog
};

const TypeCase kTypeCases[] = {
    {"FILE header not listed",
     list_of({"#INSTALL_LST", "[標準]", "#FILE", "[追加]", "a.txt"}),
     {"not list type", "[追加]"},
     false},
    {"INSTALL_S name not listed",
     list_of({"#INSTALL_LST", "[標準]", "#INSTALL_S", "[特別]"}),
     {"not list type", "[特別]"},
     false},
    {"header matches a listed name that goes on with a remark",
     list_of({"#INSTALL_LST", "[標準] 基本ファイル", "#FILE", "[標準]", "a.txt"}),
     {},
     false},
    {"the run goes on after the boxes",
     list_of({"#INSTALL_LST", "[標準]", "#FILE", "[表示]", "a.txt"}),
     {"not list type", "[表示]"},
     true},
};

TEST(SetupList, UnknownInstallTypeShowsTwoTestBoxes) {
  for (const TypeCase& c : kTypeCases) {
    SCOPED_TRACE(c.name);
    delete_key(kDefaultKey);
    if (c.game_registered) register_game(kDefaultKey, "C:\\");
    Medium medium = fresh_medium("type-case");
    medium.write_list(c.list);

    UpdateRun run(medium.root);
    for (const std::string& text : c.test_boxes) {
      MessageBoxText box = run.take_message_box();
      EXPECT_BYTES(box.caption, "TEST");
      EXPECT_BYTES(box.text, text);
      EXPECT_EQ(box.owner, nullptr);
    }
    if (!c.game_registered) {
      expect_final_message(run, kUpdateFailed, not_installed("Titleだよ"));
      continue;
    }
    press(run.expect(Screen::update_dialog), IDCANCEL);
    EXPECT_EQ(run.wait_exit(), 1u);
  }
}

struct LimitCase {
  const char* name;
  std::string list;
  int line;
  std::string problem;
  std::string shown_line;  // the offending line (or key) as the message quotes it
};

std::string numbered(const char* stem, int count) {
  std::string lines;
  for (int i = 1; i <= count; ++i)
    lines += stem + std::to_string(i) + "\r\n";
  return lines;
}

const std::string kName32 = std::string(28, 'n') + ".txt";
const std::string kPath256(256, 'p');
// Each part must fit one line of the list (511 bytes), so it takes all three to go over.
const std::string kRegP(500, 'p');
const std::string kRegS(500, 's');
const std::string kRegT(30, 't');
// 64 bytes with its brackets; the header repeats it whole, so a cut name would match nothing.
std::string long_type_name() {
  std::string name = "[";
  for (int i = 0; i < 31; ++i)
    name += "長";
  return name + "]";
}
const std::string kType64 = long_type_name();

const LimitCase kLimitCases[] = {
    {"file name of 32 bytes",
     list_of({"#INSTALL_LST", "[標準]", "#FILE", "[標準]", "a.txt", kName32}), 6,
     "ファイル名が長すぎます（31バイトまで）。", kName32},
    {"33 install types", "#INSTALL_LST\r\n" + numbered("type", 33), 34,
     "インストールタイプが多すぎます（32個まで）。", "type33"},
    {"type name of 64 bytes", list_of({"#INSTALL_LST", kType64, "#FILE", kType64, "a.txt"}), 2,
     "インストールタイプ名が長すぎます（63バイトまで）。", kType64},
    {"257 files", list_of({"#FILE"}) + numbered("f", 257), 258,
     "ファイルが多すぎます（256個まで）。", "f257"},
    {"PATH of 256 bytes", list_of({"#TITLE 長い", "#PATH " + kPath256}), 2,
     "PATHが長すぎます（255バイトまで）。", kPath256.substr(0, 255)},
    {"registry key of 1,032 bytes",
     list_of({"#REG_P " + kRegP, "#REG_S " + kRegS, "#REG_T " + kRegT}), 3,
     "レジストリキーが長すぎます（1023バイトまで）。", (kRegP + "\\" + kRegS).substr(0, 255)},
};

std::string stop_message(const LimitCase& c) {
  return "SETUP.LST の " + std::to_string(c.line) + " 行目：" + c.problem + "\n\n" + c.shown_line +
         "\n\nUPDATEを中止しました。ファイルはコピーしていません。";
}

// A list over a limit would update the game wrongly or in part: one message names the line,
// and the run ends before the registry is read, though the game is installed.
TEST(SetupList, ListOverALimitStopsBeforeAnything) {
  for (const LimitCase& c : kLimitCases) {
    SCOPED_TRACE(c.name);
    std::string game = fresh_folder("limit-game");
    register_game(kDefaultKey, game);
    Medium medium = fresh_medium("limit-case");
    medium.write_list(c.list);
    medium.add_file("a.txt", "new");

    UpdateRun run(medium.root);
    expect_final_message(run, kUpdateFailed, stop_message(c));
    EXPECT_TRUE(files_below(game).empty());
  }
}

}  // namespace
}  // namespace e2e
