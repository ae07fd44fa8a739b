// The UPDATE dialog as the user sees it, and what Start, Cancel and the folder button do with
// the folder in its box.
#include <gtest/gtest.h>

#include <cctype>

#include "cases/common.h"

namespace e2e {
namespace {

// WS_SYSMENU; the system header spells it with a lower-case long suffix.
constexpr LONG kSystemMenu = 0x00080000;

struct LiveControl {
  int id;
  std::string class_name;  // upper case
  std::string text;
};

std::vector<LiveControl> controls_of(HWND dialog) {
  std::vector<LiveControl> controls;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    std::string name = class_of(child);
    for (char& c : name)
      c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    controls.push_back({static_cast<int16_t>(GetDlgCtrlID(child)), name, window_text(child)});
  }
  return controls;
}

// The texts are read back from the running dialog: what the user sees, after the resource
// compiler, the loader and the dialog manager have each had their go at the Japanese.
TEST(UpdateDialog, ShowsTitleFolderAndEveryText) {
  const std::string folder = "C:\\ゲーム\\ソフト\\";
  register_game(kDefaultKey, folder);
  Medium medium = fresh_medium("texts");
  medium.write_list(list_of({"#TITLE 表示ソフト能力"}));

  UpdateRun run(medium.root);
  HWND dialog = run.expect(Screen::update_dialog);
  EXPECT_BYTES(window_text(dialog), "表示ソフト能力のＵＰＤＡＴＥ");
  EXPECT_EQ(GetWindowLongA(dialog, GWL_STYLE) & kSystemMenu, 0) << "no close box";
  const std::vector<LiveControl> expected = {
      {1001, "EDIT", folder},
      {1000, "BUTTON", "フォルダ変更"},
      {-1, "STATIC", "容量が足りない場合、UPDATEが失敗しますのでご注意下さい。"},
      {1, "BUTTON", "開始"},
      {2, "BUTTON", "やめる"},
      {-1, "STATIC", "UPDATEはゲームのファルダにファイルをコピーするだけです。"},
  };
  std::vector<LiveControl> actual = controls_of(dialog);
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE("control " + std::to_string(i));
    EXPECT_EQ(actual[i].id, expected[i].id);
    EXPECT_EQ(actual[i].class_name, expected[i].class_name);
    EXPECT_BYTES(actual[i].text, expected[i].text);
  }

  press(dialog, IDCANCEL);
  EXPECT_EQ(run.wait_exit(), 1u);
  EXPECT_EQ(value_names(kDefaultKey), std::vector<std::string>{"GAMEPATH"}) << "nothing written";
}

// A medium whose one listed file is there to be copied, should the run wrongly go on.
Medium medium_with_one_file(const std::string& name) {
  Medium medium = fresh_medium(name);
  medium.write_list(list_of({"#INSTALL_LST", "[標準]", "#FILE", "[標準]", "a.txt"}));
  medium.add_file("a.txt", "new");
  return medium;
}

struct StartCase {
  const char* name;
  const char* game_path;  // relative to the game folder; nullptr: the game folder itself
  const char* typed;      // relative to the game folder; nullptr: the box as the registry left it
  const char* caption;
  const char* text;
};

const char kFileInTheWay[] = "フォルダ名と同じファイルが存在します。このフォルダ名は使えません。";

// A file name without an extension: a dotted last component would be dropped on the way.
const StartCase kStartCases[] = {
    {"typed folder that does not exist", nullptr, "missing", kUpdateFailed, kNoFolder},
    {"registry folder that does not exist", "gone", nullptr, kUpdateFailed, kNoFolder},
    {"typed path of a file", nullptr, "savedata", "フォルダ名の失敗", kFileInTheWay},
    {"empty box", nullptr, "", kUpdateFailed, kNoFolder},
};

// The game folder itself, a path below it, or nothing at all for "".
std::string under(const std::string& folder, const char* relative) {
  if (relative == nullptr) return folder;
  if (relative[0] == '\0') return "";
  return join(folder, relative);
}

TEST(UpdateDialog, StartWithNoUsableFolderEndsTheRun) {
  for (const StartCase& c : kStartCases) {
    SCOPED_TRACE(c.name);
    std::string game = fresh_folder("start-game");
    write_file(join(game, "savedata"), "save");
    register_game(kDefaultKey, under(game, c.game_path));
    Medium medium = medium_with_one_file("start-medium");

    UpdateRun run(medium.root);
    HWND dialog = run.expect(Screen::update_dialog);
    if (c.typed != nullptr) set_control_text(dialog, kFolderBox, under(game, c.typed));
    press(dialog, IDOK);
    expect_final_message(run, c.caption, c.text);

    EXPECT_EQ(files_below(game), std::vector<std::string>{"savedata"});
    if (c.typed != nullptr && c.typed[0]) {
      EXPECT_FALSE(is_directory(under(game, c.typed)));
    }
  }
}

// Start makes the folder the copy goes into: the drive, the path with every run of backslashes
// made one, no trailing backslash, and a last component with an extension dropped. The failure
// message of a file missing from the medium shows the destination exactly as it was formed.
TEST(UpdateDialog, StartNormalisesTheTypedFolder) {
  std::string game = fresh_folder("norm-game");
  std::string dotted = fresh_folder("norm-game.old");
  std::string doubled;
  for (char c : game)
    doubled += c == '\\' ? std::string("\\\\") : std::string(1, c);
  const struct {
    std::string typed;
    std::string folder;
  } forms[] = {
      {game + "\\\\", game},
      {doubled, game},
      {join(game, "game.exe"), game},
      {dotted + "\\", dotted},  // a trailing backslash keeps a dotted last component
  };

  for (const auto& [typed, folder] : forms) {
    SCOPED_TRACE(utf8_of(typed));
    register_game(kDefaultKey, "C:\\");
    Medium medium = fresh_medium("norm-medium");
    medium.write_list(list_of({"#INSTALL_LST", "[標準]", "#FILE", "[標準]", "missing.txt"}));

    UpdateRun run(medium.root);
    HWND dialog = run.expect(Screen::update_dialog);
    set_control_text(dialog, kFolderBox, typed);
    press(dialog, IDOK);
    run.expect(Screen::filecopy_dialog);
    MessageBoxText failure = run.take_message_box();
    EXPECT_BYTES(failure.text,
                 failure_text(medium.data_path("missing.txt"), join(folder, "missing.txt")));
    expect_final_message(run, update_caption("Titleだよ"), kCompleted);
  }
}

// The folder button opens the system's folder browser with the list's PATH in its prompt.
// Cancelling it leaves what the user typed, and Start then takes that text.
TEST(UpdateDialog, FolderBrowserCancelKeepsTypedText) {
  register_game(kDefaultKey, "C:\\");
  Medium medium = fresh_medium("browse", "データ");
  medium.write_list(list_of({"#PATH データ"}));
  const std::string typed = join(work_folder(), "typed");

  UpdateRun run(medium.root);
  HWND dialog = run.expect(Screen::update_dialog);
  set_control_text(dialog, kFolderBox, typed);
  press(dialog, kFolderButton);
  HWND browser = run.expect(Screen::folder_browser);
  std::string texts;
  for (HWND child = GetWindow(browser, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    texts += "[" + window_text(child) + "]";
  }
  EXPECT_NE(texts.find("[データのインストールしたフォルダ選択してください]"), std::string::npos)
      << "the browser's texts: " << utf8_of(texts);
  press(browser, IDCANCEL);

  wait_until_closed(browser, kWindowTimeoutMs);
  EXPECT_BYTES(control_text(dialog, kFolderBox), typed);
  press(dialog, IDOK);
  expect_final_message(run, kUpdateFailed, kNoFolder);
}

}  // namespace
}  // namespace e2e
