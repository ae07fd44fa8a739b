// The copy: every file of the first eight install types goes from the medium's data folder into
// the game folder, one per timer tick, and the run ends with the completion message.
#include <gtest/gtest.h>

#include <algorithm>

#include "cases/common.h"
#include "driver/screenshot.h"

namespace e2e {
namespace {

// Contents a text-mode copy would damage: a zero byte, Ctrl-Z, CR LF and a lone LF.
std::string binary_content(const std::string& seed, size_t size) {
  std::string bytes = seed + bytes_of("\0\x1A\r\n\n\xFF");
  while (bytes.size() < size)
    bytes += static_cast<char>(bytes.size() * 7 + seed.size());
  return bytes;
}

// More files of the second type: they keep the copy dialog on screen for half a second, time
// enough to look at it even on a busy machine.
std::vector<std::string> more_files() {
  std::vector<std::string> names;
  for (int i = 1; i <= 8; ++i)
    names.push_back("more" + std::to_string(i) + ".dat");
  return names;
}

const char kTitle[] = "魔法の表札";
const std::string kLongest = std::string(27, 'L') + ".txt";  // 31 bytes, the most a name holds

// Nine install types: the copy takes the first eight, so "[t8]" (index 8) is left out, and so
// are the files before the first header and under "[]".
std::string happy_list() {
  std::string list = list_of({"#TITLE " + std::string(kTitle),
                              "#PATH データ",
                              "#INSTALL_LST",
                              "[標準]",
                              "[追加]",
                              "[t2]",
                              "[t3]",
                              "[t4]",
                              "[t5]",
                              "[t6]",
                              "[t7]",
                              "[t8]",
                              "#INSTALL_S",
                              "[標準]",
                              "#FILE",
                              "notype.txt",
                              "[標準]",
                              "game.exe",
                              "ソフト\\表示.dat",
                              kLongest,
                              "[追加]",
                              "readme.txt"});
  for (const std::string& name : more_files())
    list += name + "\r\n";
  return list + list_of({"[t8]", "ninth.dat", "[]", "untyped.dat"});
}

std::vector<std::string> copied_files() {
  std::vector<std::string> names = {"game.exe", "ソフト\\表示.dat", kLongest, "readme.txt"};
  for (const std::string& name : more_files())
    names.push_back(name);
  return names;
}

const std::vector<std::string> kCopied = copied_files();
const std::vector<std::string> kLeftOut = {"notype.txt", "ninth.dat", "untyped.dat"};

Medium happy_medium() {
  Medium medium = fresh_medium("更新ディスク", "データ");
  medium.write_list(happy_list());
  for (const std::string& name : kCopied) {
    medium.add_file(name, binary_content(name, name == "game.exe" ? 300000 : 3000));
    set_last_write_time(medium.data_path(name), {2001, 2, 0, 3, 4, 5, 6, 0});  // as pressed
  }
  for (const std::string& name : kLeftOut)
    medium.add_file(name, "left out");
  return medium;
}

ULONGLONG last_write_time(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &info)) fail("no times: " + path);
  return (static_cast<ULONGLONG>(info.ftLastWriteTime.dwHighDateTime) << 32) |
         info.ftLastWriteTime.dwLowDateTime;
}

bool is_progress_of_a_copied_file(const std::string& text, const Medium& medium,
                                  const std::string& game) {
  return std::any_of(kCopied.begin(), kCopied.end(), [&](const std::string& name) {
    return text == progress_text(medium.data_path(name), join(game, name));
  });
}

// The whole run a user sees, with a screenshot of each of its three screens. Japanese names all
// the way: the title, the medium, its data folder, a game folder ending in 表 (second byte 0x5C),
// a file name with such bytes inside.
void expect_whole_update() {
  Medium medium = happy_medium();
  std::string game = fresh_folder("ゲーム表");
  write_file(join(game, "game.exe"), "old game");
  write_file(join(game, "save.dat"), "the player's save");
  register_game(kDefaultKey, game + "\\");

  UpdateRun run(medium.root);
  HWND dialog = run.expect(Screen::update_dialog);
  EXPECT_BYTES(window_text(dialog), update_caption(kTitle));
  EXPECT_BYTES(control_text(dialog, kFolderBox), game + "\\");
  screenshot_if_wanted(run, dialog, "update-dialog");
  press(dialog, IDOK);

  HWND copy = run.expect(Screen::filecopy_dialog);
  EXPECT_BYTES(window_text(copy), kCopying);
  std::string progress = wait_for_text(copy, kProgressText, kWindowTimeoutMs);
  EXPECT_TRUE(is_progress_of_a_copied_file(progress, medium, game)) << utf8_of(progress);
  screenshot_if_wanted(run, copy, "filecopy-dialog");

  HWND done = run.expect(Screen::message_box);
  EXPECT_BYTES(window_text(done), update_caption(kTitle));
  EXPECT_BYTES(control_text(done, kMessageBoxTextId), kCompleted);
  screenshot_if_wanted(run, done, "complete");
  run.dismiss(done);
  EXPECT_EQ(run.wait_exit(), 1u);

  std::vector<std::string> expected = kCopied;
  expected.push_back("save.dat");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(files_below(game), expected);
  for (const std::string& name : kCopied) {
    SCOPED_TRACE(utf8_of(name));
    EXPECT_TRUE(read_file(join(game, name)) == read_file(medium.data_path(name)));
    EXPECT_EQ(last_write_time(join(game, name)), last_write_time(medium.data_path(name)))
        << "update-check compares the times";
  }
  EXPECT_EQ(read_file(join(game, "save.dat")), "the player's save");
}

TEST(Copy, UpdatesTheGameFolder) {
  expect_whole_update();
}

// The same run on a Western system (code page 1252, as on an English Windows 11): the manifest's
// code page makes every text and every name the same, byte for byte.
TEST(Copy, UpdatesTheGameFolderUnderForeignLocale) {
  ASSERT_FALSE(system_locale_is_japanese()) << "the harness did not switch the locale";
  expect_whole_update();
}

// No entry shares a bit with the eight types: the first tick ends the copy, nothing is copied,
// no folder is made and the progress text stays empty for as long as the dialog is on screen,
// and the run still reports completion.
TEST(Copy, NothingSelectedStillCompletes) {
  Medium medium = fresh_medium("none-medium");
  medium.write_list(list_of({"#INSTALL_LST", "[a]", "[b]", "[c]", "[d]", "[e]", "[f]", "[g]", "[h]",
                             "[i]", "#FILE", "sub\\notype.txt", "[i]", "sub\\ninth.txt"}));
  medium.add_file("sub\\notype.txt", "x");
  medium.add_file("sub\\ninth.txt", "x");
  std::string game = fresh_folder("none-game");
  register_game(kDefaultKey, game);

  UpdateRun run(medium.root);
  press(run.expect(Screen::update_dialog), IDOK);
  HWND copy = run.expect(Screen::filecopy_dialog);
  std::string progress;
  while (read_text(GetDlgItem(copy, kProgressText), &progress) && IsWindow(copy)) {
    EXPECT_BYTES(progress, "");
  }
  expect_final_message(run, update_caption("Titleだよ"), kCompleted);
  EXPECT_TRUE(files_below(game).empty());
  EXPECT_FALSE(is_directory(join(game, "sub")));
}

// Each file that can't be copied is reported in a box owned by the copy dialog; nothing else
// starts while the box is open, and the copy goes on with the next file once it is closed. An
// existing read-only destination is not replaced, but loses its read-only flag. A hidden or a
// system one is not replaced either (Windows' copy refuses them, Wine's would not) and keeps its
// flag. Only the last folder level of a name is made: two new levels fail unless an earlier entry
// made the outer one.
TEST(Copy, FailuresAreReportedOneByOne) {
  const std::pair<const char*, DWORD> kFlagged[] = {{"hidden.dat", FILE_ATTRIBUTE_HIDDEN},
                                                    {"system.dat", FILE_ATTRIBUTE_SYSTEM}};
  Medium medium = fresh_medium("fail-medium");
  medium.write_list(list_of({"#INSTALL_LST", "[標準]", "#FILE", "[標準]", "locked.txt",
                             "missing.txt", "hidden.dat", "system.dat", "disc.txt",
                             "deep\\er\\z.txt", "made\\a.txt", "made\\deeper\\b.txt", "last.txt"}));
  for (const char* name : {"locked.txt", "hidden.dat", "system.dat", "disc.txt", "deep\\er\\z.txt",
                           "made\\a.txt", "made\\deeper\\b.txt", "last.txt"}) {
    medium.add_file(name, std::string("new ") + name);
  }
  set_read_only(medium.data_path("disc.txt"), true);  // as on a disc
  std::string game = fresh_folder("fail-game");
  write_file(join(game, "locked.txt"), "old");
  set_read_only(join(game, "locked.txt"), true);
  for (const auto& [name, flag] : kFlagged) {  // Wine keeps the flag in an extended attribute
    write_file(join(game, name), "old");
    ASSERT_TRUE(SetFileAttributesA(join(game, name).c_str(), flag) &&
                (attributes_of(join(game, name)) & flag) != 0);
  }
  register_game(kDefaultKey, game);

  UpdateRun run(medium.root);
  press(run.expect(Screen::update_dialog), IDOK);
  HWND copy = run.expect(Screen::filecopy_dialog);
  HWND box = run.expect(Screen::message_box);
  EXPECT_EQ(GetWindow(box, GW_OWNER), copy);
  EXPECT_BYTES(window_text(box), kCopyFailed);
  EXPECT_BYTES(control_text(box, kMessageBoxTextId),
               failure_text(medium.data_path("locked.txt"), join(game, "locked.txt")));
  run.expect_quiet(300);  // five ticks of the copy timer
  EXPECT_BYTES(control_text(copy, kProgressText),
               progress_text(medium.data_path("locked.txt"), join(game, "locked.txt")));
  run.dismiss(box);

  for (const char* name : {"missing.txt", "hidden.dat", "system.dat", "deep\\er\\z.txt"}) {
    MessageBoxText failure = run.take_message_box();
    EXPECT_BYTES(failure.caption, kCopyFailed);
    EXPECT_BYTES(failure.text, failure_text(medium.data_path(name), join(game, name)));
    EXPECT_EQ(failure.owner, copy);
  }
  expect_final_message(run, update_caption("Titleだよ"), kCompleted);

  EXPECT_EQ(read_file(join(game, "locked.txt")), "old");
  EXPECT_EQ(attributes_of(join(game, "locked.txt")) & FILE_ATTRIBUTE_READONLY, 0u);
  for (const auto& [name, flag] : kFlagged) {
    EXPECT_EQ(read_file(join(game, name)), "old");
    EXPECT_NE(attributes_of(join(game, name)) & flag, 0u);
  }
  EXPECT_EQ(read_file(join(game, "disc.txt")), "new disc.txt");
  EXPECT_EQ(attributes_of(join(game, "disc.txt")) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_FALSE(is_directory(join(game, "deep")));
  // Two new levels take the copy when an earlier entry made the outer one.
  EXPECT_EQ(read_file(join(game, "made\\a.txt")), "new made\\a.txt");
  EXPECT_EQ(read_file(join(game, "made\\deeper\\b.txt")), "new made\\deeper\\b.txt");
  EXPECT_EQ(read_file(join(game, "last.txt")), "new last.txt");
}

struct EarlyEnd {
  const char* name;
  void (*act)(HWND copy_dialog);
  bool completes;  // every file is copied and the completion message follows
};

const EarlyEnd kEarlyEnds[] = {
    {"Esc", [](HWND copy) { press_key(copy, VK_ESCAPE); }, false},
    {"close box", [](HWND copy) { click_close_box(copy); }, false},
    {"Enter",
     [](HWND copy) {
       press_key(copy, VK_RETURN);
       press_key(copy, VK_RETURN);
     },
     true},
};

constexpr int kManyFiles = 40;  // 2.4 s of copying: far more than the driver needs to act

std::string numbered_file(int i) {
  return "f" + std::to_string(100 + i) + ".dat";
}

int count_copied(const std::string& game) {
  int copied = 0;
  while (copied < kManyFiles && file_exists(join(game, numbered_file(copied))))
    ++copied;
  return copied;
}

// Esc or the close box during the copy end it between two files: the file under way finishes,
// the ones after it are not copied, and no completion message follows. Enter (pressed twice, as a
// player starting the update with it would) is not taken for the end of the copy: every file is
// copied, then the completion message comes.
TEST(Copy, EndingTheCopyEarly) {
  for (const EarlyEnd& c : kEarlyEnds) {
    SCOPED_TRACE(c.name);
    Medium medium = fresh_medium("early-medium");
    std::string list = list_of({"#INSTALL_LST", "[標準]", "#FILE", "[標準]"});
    for (int i = 0; i < kManyFiles; ++i) {
      list += numbered_file(i) + "\r\n";
      medium.add_file(numbered_file(i), "data");
    }
    medium.write_list(list);
    std::string game = fresh_folder("early-game");
    register_game(kDefaultKey, game);

    UpdateRun run(medium.root);
    press(run.expect(Screen::update_dialog), IDOK);
    HWND copy = run.expect(Screen::filecopy_dialog);
    wait_for_text(copy, kProgressText, kWindowTimeoutMs);
    // Held while the input goes in, so the count is the one the input meets.
    run.suspend();
    int before = count_copied(game);
    c.act(copy);
    run.resume();
    EXPECT_LT(before, kManyFiles);

    int after = 0;
    if (c.completes) {
      expect_final_message(run, update_caption("Titleだよ"), kCompleted);
      after = count_copied(game);
      EXPECT_EQ(after, kManyFiles) << "the completion message came with files left uncopied";
    } else {
      EXPECT_EQ(run.wait_exit(), 1u);
      after = count_copied(game);
      EXPECT_GE(after, before);
      EXPECT_LE(after, before + 1) << "only the file under way may finish";
    }
    EXPECT_EQ(static_cast<int>(files_below(game).size()), after) << "copied in list order";
  }
}

// A game folder of 250 bytes leaves no room for the copy's temporary name beside the files:
// they get the plain copy, and every one of them is updated.
TEST(Copy, GameFolderOf250BytesIsUpdated) {
  Medium medium = fresh_medium("long-medium");
  medium.write_list(list_of({"#INSTALL_LST", "[標準]", "#FILE", "[標準]", "game.exe", "b.dat"}));
  medium.add_file("game.exe", binary_content("new game", 100000));
  medium.add_file("b.dat", "new b");
  std::string game = fresh_folder("long-game");
  while (game.size() < 250)
    game = join(game, std::string(std::min<size_t>(100, 250 - game.size() - 1), 'g'));
  ASSERT_EQ(game.size(), 250u);
  make_folders(game);
  write_file(join(game, "game.exe"), "old game");
  register_game(kDefaultKey, game);

  UpdateRun run(medium.root);
  press(run.expect(Screen::update_dialog), IDOK);
  run.expect(Screen::filecopy_dialog);
  expect_final_message(run, update_caption("Titleだよ"), kCompleted);
  EXPECT_EQ(files_below(game), (std::vector<std::string>{"b.dat", "game.exe"}));
  EXPECT_TRUE(read_file(join(game, "game.exe")) == read_file(medium.data_path("game.exe")));
  EXPECT_EQ(read_file(join(game, "b.dat")), "new b");
}

struct SeamCase {
  const char* name;
  const char* medium_folder;
  const char* data_folder;
};

// The source path joins the current folder, PATH and the name with one backslash at each seam.
// A trailing backslash there is recognised by the last character, not the last byte, so a folder
// whose name ends in 表 or ソ (second byte 0x5C) keeps that character and its seam.
const SeamCase kSeamCases[] = {
    {"PATH ending in 表", "seam-medium", "データ表"},
    {"PATH ending in ソ and a backslash", "seam-medium", "ソ\\"},
    {"medium folder ending in 表", "seam-medium表", "GAME"},
};

TEST(Copy, FolderNameEndingIn5CSecondByteKeepsItsSeam) {
  for (const SeamCase& c : kSeamCases) {
    SCOPED_TRACE(c.name);
    Medium medium = fresh_medium(c.medium_folder, c.data_folder);
    medium.write_list(list_of({"#PATH " + std::string(c.data_folder), "#INSTALL_LST", "[標準]",
                               "#FILE", "[標準]", "a.txt"}));
    medium.add_file("a.txt", "new");
    std::string game = fresh_folder("seam-game");
    register_game(kDefaultKey, game);

    UpdateRun run(medium.root);
    press(run.expect(Screen::update_dialog), IDOK);
    run.expect(Screen::filecopy_dialog);
    expect_final_message(run, update_caption("Titleだよ"), kCompleted);
    EXPECT_BYTES(read_file(join(game, "a.txt")), "new");
  }
}

}  // namespace
}  // namespace e2e
