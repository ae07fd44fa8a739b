// Hostile input through the real update.exe: file names that point outside the game folder,
// GAMEPATH values no installer writes, and setup lists that are damaged or made to hurt. Every
// run must end, with exit code 1, in the message the input calls for, and nothing outside the
// game folder may change.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>

#include "cases/common.h"

namespace e2e {
namespace {

// Every folder and file below a folder, each file with its bytes: what a run must leave as it
// was.
using Tree = std::map<std::string, std::string>;

// The whole work folder but the game folder.
Tree outside_of(const std::string& game) {
  Tree tree;
  walk_tree(
      work_folder(), [&](const std::string& relative, const std::string& path, bool is_folder) {
        if (path == game) return false;
        tree[is_folder ? relative + "\\" : relative] = is_folder ? "<folder>" : read_file(path);
        return true;
      });
  return tree;
}

std::vector<std::string> sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

// A folder path of exactly `bytes` bytes below base.
std::string path_of_length(const std::string& base, size_t bytes) {
  return base + "\\" + std::string(bytes - base.size() - 1, 'd');
}

// --- File names that point outside the game folder ---------------------------------------------

struct NameCase {
  const char* name;
  bool safe;  // copied; an unsafe name is reported with the failure box and never copied
};

// In list order, the safe names among them: one failure box per unsafe name, in this order.
const NameCase kNameCases[] = {
    {"a.txt", true},
    {"..\\evil.txt", false},
    {"sub\\..\\..\\evil.txt", false},
    {"sub\\b.txt", true},
    {"\\evil.txt", false},
    {"/evil.txt", false},
    {"C:evil.txt", false},
    {"a.txt:stream", false},
    {"..x.txt", true},  // two dots that start a name are no step up
    {"CON", false},
    {"nul.txt", false},
    {"COM1.dat", false},
    {"LPT9", false},
    {"console.txt", true},  // begins like a device name, and is none
};

TEST(Hostile, UnsafeFileNamesAreReportedAndNeverCopied) {
  std::string base = fresh_folder("names");
  std::string outside = join(base, "outside");
  std::string game = join(outside, "game");
  make_folders(game);
  Medium medium = fresh_medium("names\\medium");
  std::string list = list_of({"#INSTALL_LST", "[標準]", "#FILE", "[標準]"});
  std::vector<std::string> safe_names;
  for (const NameCase& c : kNameCases) {
    list += std::string(c.name) + "\r\n";
    if (c.safe) {
      medium.add_file(c.name, std::string("new ") + c.name);
      safe_names.push_back(c.name);
    }
  }
  medium.write_list(list);
  // The sources the escaping names lead to exist, so only the check can stop them: GAME\..\ is
  // the medium's root, and GAME\\evil.txt or GAME\/evil.txt is GAME\evil.txt.
  write_file(join(medium.root, "evil.txt"), "evil");
  medium.add_file("evil.txt", "evil");
  // A file where the steps up from the game folder land; it must keep its bytes.
  write_file(join(outside, "evil.txt"), "the player's file");
  register_game(kDefaultKey, game);
  std::string drive_root = game.substr(0, 3);
  ASSERT_FALSE(file_exists(drive_root + "evil.txt"));
  ASSERT_FALSE(file_exists("C:\\evil.txt"));
  Tree before = outside_of(game);

  UpdateRun run(medium.root);
  press(run.expect(Screen::update_dialog), IDOK);
  HWND copy = run.expect(Screen::filecopy_dialog);
  for (const NameCase& c : kNameCases) {
    if (c.safe) continue;
    SCOPED_TRACE(c.name);
    MessageBoxText box = run.take_message_box();
    EXPECT_BYTES(box.caption, kCopyFailed);
    // The box names the paths as they were composed, one backslash at each seam.
    EXPECT_BYTES(box.text, failure_text(medium.root + "\\GAME\\" + c.name, game + "\\" + c.name));
    EXPECT_EQ(box.owner, copy);
  }
  expect_final_message(run, update_caption("Titleだよ"), kCompleted);

  EXPECT_EQ(outside_of(game), before);
  EXPECT_FALSE(file_exists(drive_root + "evil.txt"));
  EXPECT_FALSE(file_exists("C:\\evil.txt"));
  EXPECT_EQ(files_below(game), sorted(safe_names));
  for (const std::string& name : safe_names) {
    EXPECT_EQ(read_file(join(game, name)), "new " + name) << name;
  }
}

// --- GAMEPATH values no installer writes ---------------------------------------------------------

enum class PathOutcome {
  not_installed,  // no dialog: the not-installed message
  no_folder,      // the dialog, then Start: "フォルダがありません。"
  copies,         // the dialog, then Start: a.txt lands in the folder, then completion
  copy_fails,     // the dialog, then Start: a.txt can't be copied, then completion
};

struct PathCase {
  std::string name;
  RegValue value;
  std::string folder_box;  // what the UPDATE dialog's folder box shows
  PathOutcome outcome;
  std::string folder;  // the folder the copy goes to
};

RegValue raw_value(DWORD type, const std::string& bytes) {
  return RegValue{"GAMEPATH", type, bytes};
}

// A folder of 246 bytes or more leaves no room for the temporary name beside a copy: the file is
// copied straight, while its destination stays under MAX_PATH bytes (a.txt up to a folder of 253
// bytes); beyond, the copy is reported as failed and nothing is written, although Wine's
// CopyFileA would take the longer path. Measured under Wine, folders of up to 256 bytes can be
// made and the UPDATE dialog accepts them.
std::vector<PathCase> path_cases(const std::string& base, const std::string& game) {
  const std::string folder247 = path_of_length(base, 247);
  const std::string folder248 = path_of_length(base, 248);
  const std::string folder255 = path_of_length(base, 255);
  const std::string folder256 = path_of_length(base, 256);
  const std::string missing257 = path_of_length(base, 257);
  for (const std::string& folder : {folder247, folder248, folder255, folder256})
    make_folders(folder);
  return {
      {"a drive that is not there", string_value("GAMEPATH", "Q:\\GAME"), "Q:\\GAME",
       PathOutcome::no_folder, ""},
      // The collapse of backslash runs makes it \server\share\game on the current drive.
      {"a UNC path", string_value("GAMEPATH", "\\\\server\\share\\game"), "\\\\server\\share\\game",
       PathOutcome::no_folder, ""},
      {"an existing folder of 247 bytes", string_value("GAMEPATH", folder247), folder247,
       PathOutcome::copies, folder247},
      {"an existing folder of 248 bytes", string_value("GAMEPATH", folder248), folder248,
       PathOutcome::copies, folder248},
      {"an existing folder of 255 bytes", string_value("GAMEPATH", folder255), folder255,
       PathOutcome::copy_fails, folder255},
      {"an existing folder of 256 bytes without a terminator", raw_value(REG_BINARY, folder256),
       folder256, PathOutcome::copy_fails, folder256},
      {"257 bytes without a terminator", raw_value(REG_BINARY, missing257), "",
       PathOutcome::not_installed, ""},
      {"the game folder stored without a terminator", raw_value(REG_SZ, game), game,
       PathOutcome::copies, game},
      {"a string of no bytes at all", raw_value(REG_SZ, ""), "", PathOutcome::not_installed, ""},
  };
}

TEST(Hostile, GamePathValues) {
  ASSERT_EQ(GetDriveTypeA("Q:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR)) << "Q: is mapped";
  std::string base = fresh_folder("paths");
  std::string game = join(base, "game");
  make_folders(game);
  Medium medium = fresh_medium("paths\\medium");
  medium.write_list(list_of({"#INSTALL_LST", "[標準]", "#FILE", "[標準]", "a.txt"}));
  medium.add_file("a.txt", "new a");
  ASSERT_FALSE(file_exists(medium.root.substr(0, 3) + "server"));

  for (const PathCase& c : path_cases(base, game)) {
    SCOPED_TRACE(c.name);
    delete_key(kDefaultKey);
    set_values(kDefaultKey, {c.value});
    if (!c.folder.empty()) DeleteFileA(join(c.folder, "a.txt").c_str());
    Tree before = outside_of(c.folder);

    UpdateRun run(medium.root);
    if (c.outcome == PathOutcome::not_installed) {
      expect_final_message(run, kUpdateFailed, not_installed("Titleだよ"));
    } else {
      HWND dialog = run.expect(Screen::update_dialog);
      EXPECT_BYTES(control_text(dialog, kFolderBox), c.folder_box);
      press(dialog, IDOK);
      if (c.outcome == PathOutcome::no_folder) {
        expect_final_message(run, kUpdateFailed, kNoFolder);
      } else {
        HWND copy = run.expect(Screen::filecopy_dialog);
        if (c.outcome == PathOutcome::copy_fails) {
          MessageBoxText box = run.take_message_box();
          EXPECT_BYTES(box.caption, kCopyFailed);
          EXPECT_BYTES(box.text, failure_text(medium.data_path("a.txt"), c.folder + "\\a.txt"));
          EXPECT_EQ(box.owner, copy);
        }
        expect_final_message(run, update_caption("Titleだよ"), kCompleted);
      }
    }

    EXPECT_EQ(outside_of(c.folder), before);
    if (c.outcome == PathOutcome::copies) {
      EXPECT_EQ(files_below(c.folder), std::vector<std::string>{"a.txt"});
      EXPECT_EQ(read_file(join(c.folder, "a.txt")), "new a");
    } else if (!c.folder.empty()) {
      EXPECT_TRUE(files_below(c.folder).empty()) << "nothing, not even a temporary file";
    }
  }
}

// --- Damaged and hostile setup lists -------------------------------------------------------------

enum class ListOutcome {
  limit_stop,     // one message stops the run before the registry is read
  not_installed,  // the game's key holds no usable GAMEPATH
  dialog_cancel,  // the UPDATE dialog comes; Cancel ends the run
  dialog_start,   // the UPDATE dialog comes; Start copies and the run completes
};

struct ListCase {
  const char* name;
  std::string list;
  ListOutcome outcome;
  // limit_stop: the whole message, or, when it starts with "*", a text it must contain;
  // not_installed: the message; dialog_*: the UPDATE dialog's caption.
  std::string text;
  std::vector<std::string> test_boxes = {};  // the "TEST" boxes before it, in order
  std::vector<std::string> copied = {};      // dialog_start: the files that reach the game
};

std::string stop_message(int line, const std::string& problem, const std::string& shown) {
  return "SETUP.LST の " + std::to_string(line) + " 行目：" + problem + "\n\n" + shown +
         "\n\nUPDATEを中止しました。ファイルはコピーしていません。";
}

const char kNameTooLong[] = "ファイル名が長すぎます（31バイトまで）。";
const char kTooManyFiles[] = "ファイルが多すぎます（256個まで）。";
const char kTypeNameTooLong[] = "インストールタイプ名が長すぎます（63バイトまで）。";
const char kPathTooLong[] = "PATHが長すぎます（255バイトまで）。";
const char kKeyTooLong[] = "レジストリキーが長すぎます（1023バイトまで）。";

// Seeded pseudo-random bytes (xorshift), all 256 values but Ctrl-Z, which would end the list.
std::string junk(uint32_t seed, size_t size) {
  std::string bytes;
  uint32_t x = seed;
  while (bytes.size() < size) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    auto b = static_cast<char>(x >> 24);
    if (b != '\x1A') bytes += b;
  }
  return bytes;
}

std::string numbered(const char* stem, int count) {
  std::string lines;
  for (int i = 1; i <= count; ++i)
    lines += stem + std::to_string(i) + "\r\n";
  return lines;
}

std::string repeated(const std::string& piece, int count) {
  std::string out;
  for (int i = 0; i < count; ++i)
    out += piece;
  return out;
}

// The second 511-byte piece of a long line, as the parser takes it: its trailing CR and LF gone.
std::string second_piece_of(const std::string& line) {
  std::string piece = line.substr(511, 511);
  while (!piece.empty() && (piece.back() == '\r' || piece.back() == '\n'))
    piece.pop_back();
  return piece;
}

const std::string kCopyAList = list_of({"#INSTALL_LST", "[標準]", "#FILE", "[標準]", "a.txt"});
const std::string k2000(2000, 'v');
const std::string kName32 = std::string(28, 'n') + ".txt";
const std::string kCrOnlyLong = "#FILE\r" + repeated("a.txt\r", 100);

std::vector<ListCase> list_cases() {
  const std::string default_caption = update_caption("Titleだよ");
  return {
      // Junk ---------------------------------------------------------------------------------
      {"binary junk, no section", junk(1, 8192), ListOutcome::dialog_start, default_caption},
      {"binary junk under FILE", "#FILE\r\n" + junk(2, 8192), ListOutcome::limit_stop,
       std::string("*") + kNameTooLong},
      {"binary junk under INSTALL_LST", "#INSTALL_LST\r\n" + junk(3, 32768),
       ListOutcome::limit_stop, std::string("*") + kTypeNameTooLong},
      // Long lines and many lines --------------------------------------------------------------
      {"a 100,000-byte last line without LF", "#TITLE 長い行\r\n" + std::string(100000, 'x'),
       ListOutcome::dialog_cancel, update_caption("長い行")},
      {"a 100,000-byte file line",
       kCopyAList.substr(0, kCopyAList.size() - 7) + std::string(100000, 'x'),
       ListOutcome::limit_stop, stop_message(5, kNameTooLong, std::string(255, 'x'))},
      {"10,000 file lines", "#FILE\r\n" + numbered("f", 10000), ListOutcome::limit_stop,
       stop_message(258, kTooManyFiles, "f257")},
      // NUL bytes: the line ends at the NUL, and still counts as a line ---------------------------
      {"NUL bytes in keyword and file lines",
       bytes_of("#TITLE ab\0cd\r\n#INSTALL_LST\0x\r\n[標準]\0[追加]\r\n#FILE\0\r\n"
                "[標準]\0junk\r\na.txt\0..\\evil.txt\r\nb.txt\0\r\n"),
       ListOutcome::dialog_start,
       update_caption("ab"),
       {},
       {"a.txt", "b.txt"}},
      {"a line after a NUL byte keeps its number", bytes_of("#FILE\r\na\0b\r\n") + kName32 + "\r\n",
       ListOutcome::limit_stop, stop_message(3, kNameTooLong, kName32)},
      // Keywords with 2,000-byte values: the line goes on in pieces of 511 bytes -----------------
      {"TITLE and TITLE_OLD of 2,000 bytes",
       list_of({"#TITLE " + k2000, "#TITLE_OLD " + k2000}) + kCopyAList,
       ListOutcome::dialog_start,
       update_caption(std::string(99, 'v')),
       {},
       {"a.txt"}},
      {"REG_T of 2,000 bytes names no installed game",
       list_of({"#TITLE_OLD " + k2000, "#REG_T " + k2000}), ListOutcome::not_installed,
       not_installed(std::string(99, 'v'))},
      {"PATH of 2,000 bytes", list_of({"#TITLE x", "#PATH " + k2000}), ListOutcome::limit_stop,
       stop_message(2, kPathTooLong, std::string(255, 'v'))},
      {"REG_P, REG_S and REG_T of 2,000 bytes",
       list_of({"#REG_P " + k2000, "#REG_S " + k2000, "#REG_T " + k2000}), ListOutcome::limit_stop,
       stop_message(3, kKeyTooLong, std::string(255, 'v'))},
      {"FILE with a 2,000-byte value", list_of({"#FILE " + k2000}), ListOutcome::limit_stop,
       stop_message(1, kNameTooLong, std::string(255, 'v'))},
      // The value goes on as type names of 511 bytes.
      {"INSTALL_LST with a 2,000-byte value", list_of({"#INSTALL_LST " + k2000, "[標準]"}),
       ListOutcome::limit_stop, stop_message(1, kTypeNameTooLong, std::string(255, 'v'))},
      {"SAVE_LST with a 2,000-byte value",
       list_of({"#INSTALL_LST", "[標準]", "#SAVE_LST " + k2000, "#FILE", "[標準]", "a.txt"}),
       ListOutcome::dialog_start,
       default_caption,
       {},
       {"a.txt"}},
      {"INSTALL_S with a 2,000-byte value",
       list_of({"#INSTALL_LST", "[標準]", "#INSTALL_S " + k2000, "#FILE", "[標準]", "a.txt"}),
       ListOutcome::dialog_start,
       default_caption,
       {"not list type", std::string(511, 'v'), "not list type", std::string(511, 'v'),
        "not list type", std::string(478, 'v')},
       {"a.txt"}},
      // Ctrl-Z, a lone lead byte, CR-only lines ---------------------------------------------------
      {"Ctrl-Z ends the list early",
       list_of({"#TITLE 早い", "#INSTALL_LST", "[標準]", "#FILE", "[標準]"}) + "a.txt\x1A" +
           "b.txt\r\n..\\evil.txt\r\n" + numbered("f", 1000),
       ListOutcome::dialog_start,
       update_caption("早い"),
       {},
       {"a.txt"}},
      // The title keeps the lone byte, which pairs with the first byte of の in the caption.
      {"a lone lead byte ends the file",
       kCopyAList + "#TITLE ゲーム\x83",
       ListOutcome::dialog_start,
       update_caption("ゲーム\x83"),
       {},
       {"a.txt"}},
      {"CR-only line ends make one line", "#INSTALL_LST\r[標準]\r#FILE\r[標準]\ra.txt\r",
       ListOutcome::dialog_start, default_caption},
      {"a CR-only list longer than a line", kCrOnlyLong, ListOutcome::limit_stop,
       stop_message(1, kNameTooLong, second_piece_of(kCrOnlyLong))},
  };
}

void expect_list_outcome(const ListCase& c) {
  SCOPED_TRACE(c.name);
  std::string base = fresh_folder("lists");
  std::string game = join(base, "game");
  make_folders(game);
  write_file(join(game, "save.dat"), "the player's save");
  Medium medium = fresh_medium("lists\\medium");
  medium.add_file("a.txt", "new a");
  medium.add_file("b.txt", "new b");
  medium.write_list(c.list);
  delete_key(kDefaultKey);
  register_game(kDefaultKey, game);
  Tree before = outside_of(game);

  UpdateRun run(medium.root);
  for (const std::string& text : c.test_boxes) {
    MessageBoxText box = run.take_message_box();
    EXPECT_BYTES(box.caption, "TEST");
    EXPECT_BYTES(box.text, text);
  }
  switch (c.outcome) {
    case ListOutcome::limit_stop:
      if (c.text[0] == '*') {
        MessageBoxText box = run.take_message_box();
        EXPECT_BYTES(box.caption, kUpdateFailed);
        EXPECT_EQ(box.text.rfind("SETUP.LST の ", 0), 0u) << utf8_of(box.text);
        EXPECT_NE(box.text.find(c.text.substr(1)), std::string::npos) << utf8_of(box.text);
        EXPECT_EQ(run.wait_exit(), 1u);
      } else {
        expect_final_message(run, kUpdateFailed, c.text);
      }
      break;
    case ListOutcome::not_installed:
      expect_final_message(run, kUpdateFailed, c.text);
      break;
    case ListOutcome::dialog_cancel: {
      HWND dialog = run.expect(Screen::update_dialog);
      EXPECT_BYTES(window_text(dialog), c.text);
      press(dialog, IDCANCEL);
      EXPECT_EQ(run.wait_exit(), 1u);
      break;
    }
    case ListOutcome::dialog_start: {
      HWND dialog = run.expect(Screen::update_dialog);
      EXPECT_BYTES(window_text(dialog), c.text);
      press(dialog, IDOK);
      run.expect(Screen::filecopy_dialog);
      expect_final_message(run, c.text, kCompleted);
      break;
    }
  }

  EXPECT_EQ(outside_of(game), before);
  std::vector<std::string> expected = c.copied;
  expected.push_back("save.dat");
  EXPECT_EQ(files_below(game), sorted(expected));
  EXPECT_EQ(read_file(join(game, "save.dat")), "the player's save");
}

// One table, run in two halves so that each stays well inside a test's deadline.
TEST(Hostile, SetupListsThatStopBeforeTheDialog) {
  for (const ListCase& c : list_cases()) {
    if (c.outcome == ListOutcome::limit_stop || c.outcome == ListOutcome::not_installed) {
      expect_list_outcome(c);
    }
  }
}

TEST(Hostile, SetupListsThatReachTheDialog) {
  for (const ListCase& c : list_cases()) {
    if (c.outcome == ListOutcome::dialog_cancel || c.outcome == ListOutcome::dialog_start) {
      expect_list_outcome(c);
    }
  }
}

}  // namespace
}  // namespace e2e
