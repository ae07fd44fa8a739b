// The folder button's browser driven to a folder, and the folder Start copies into, with real
// copies: the chosen path in the box, the status line, a selection with no path, and the typed
// forms that Start turns into the game folder or refuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "cases/common.h"
#include "driver/remote.h"

#include <commctrl.h>
#include <shlobj.h>

namespace e2e {
namespace {

const char kContent[] = "new\r\n\x1A\xFF";  // a text-mode copy would change it

// The browser's status line and folder tree, by the ids Wine's browser template gives them.
constexpr int kStatusLine = 0x3743;
constexpr int kFolderTree = 0x3741;
// "My Computer" as the shell parses it: an item with no file-system path.
constexpr char kMyComputer[] = "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

// The browser's folders live on C:, in this test's own Wine prefix, away from the work folder
// below /tmp, which every test on the machine writes into.
const char kBrowseRoot[] = "C:\\フォルダ選択";

Medium medium_with_one_file(const std::string& name) {
  Medium medium = fresh_medium(name);
  medium.write_list(list_of({"#INSTALL_LST", "[標準]", "#FILE", "[標準]", "a.txt"}));
  medium.add_file("a.txt", bytes_of(kContent));
  return medium;
}

// Every file and folder below a folder, folders with a trailing backslash, sorted.
std::vector<std::string> entries_below(const std::string& folder) {
  std::vector<std::string> names;
  walk_tree(folder, [&](const std::string& relative, const std::string&, bool is_folder) {
    names.push_back(is_folder ? relative + "\\" : relative);
    return true;
  });
  std::sort(names.begin(), names.end());
  return names;
}

// Waits until a control holds exactly this text; returns what it last held.
std::string wait_for_exact_text(HWND dialog, int id, const std::string& expected) {
  ULONGLONG deadline = GetTickCount64() + kWindowTimeoutMs;
  std::string text;
  while (read_text(GetDlgItem(dialog, id), &text) && text != expected &&
         GetTickCount64() < deadline) {
    Sleep(5);
  }
  return text;
}

HWND folder_tree(HWND browser) {
  HWND tree = GetDlgItem(browser, kFolderTree);
  if (tree == nullptr) fail("the folder browser has no folder tree");
  return tree;
}

HTREEITEM selected_item(HWND browser) {
  return reinterpret_cast<HTREEITEM>(send_to(folder_tree(browser), TVM_GETNEXTITEM, TVGN_CARET, 0));
}

// An item's label, read into update.exe's memory; empty for no item.
std::string label_of(UpdateRun& run, HWND browser, HTREEITEM item) {
  if (item == nullptr) return "";
  constexpr size_t kLabelSize = 520;
  RemoteMemory memory(run.process_id(), sizeof(TVITEMA) + kLabelSize);
  TVITEMA query = {};
  query.mask = TVIF_TEXT;
  query.hItem = item;
  query.pszText = reinterpret_cast<char*>(memory.address() + sizeof(TVITEMA));
  query.cchTextMax = kLabelSize;
  memory.write(0, &query, sizeof query);
  if (!send_to(folder_tree(browser), TVM_GETITEMA, 0, memory.address())) {
    fail("the folder tree did not give an item's label");
  }
  std::string label = memory.read(sizeof(TVITEMA), kLabelSize);
  return label.substr(0, label.find('\0'));
}

// BFFM_SETSELECTIONA with a path text, as a program would ask the browser to select a folder.
// The text must lie in update.exe's memory; the browser selects the item and update.exe's
// callback hears of it before the message returns. The browser's answer says nothing, so the
// caller looks at what it shows.
void request_selection(UpdateRun& run, HWND browser, const std::string& path) {
  RemoteMemory text(run.process_id(), path);
  send_to(browser, BFFM_SETSELECTIONA, TRUE, text.address());
}

// Opens the selected item and selects its child with this label, as a click would.
void select_child(UpdateRun& run, HWND browser, const std::string& label) {
  HWND tree = folder_tree(browser);
  HTREEITEM parent = selected_item(browser);
  send_to(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
  std::string seen;
  auto item = reinterpret_cast<HTREEITEM>(
      send_to(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent)));
  for (; item != nullptr; item = reinterpret_cast<HTREEITEM>(send_to(
                              tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
    std::string text = label_of(run, browser, item);
    if (text == label) {
      send_to(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
      return;
    }
    seen += " [" + utf8_of(text) + "]";
  }
  fail("the folder tree has no " + utf8_of(label) + " there, only" + seen);
}

// Selects a folder "C:\a\b": the drive by its path, then each folder below it by its label.
// Wine's browser finds a requested path by comparing item lists byte for byte, access times
// included, and a folder's access time moves the first time the browser reads it: a request for
// a freshly made folder is refused now and then. A drive's item holds no times.
// Anything else, such as a shell item's "::{class id}", goes to the browser as it is.
void select_path(UpdateRun& run, HWND browser, const std::string& path) {
  if (path.size() < 3 || path.compare(1, 2, ":\\") != 0) {
    request_selection(run, browser, path);
    return;
  }
  request_selection(run, browser, path.substr(0, 3));
  if (selected_item(browser) == nullptr) fail("the browser did not select " + path.substr(0, 3));
  size_t start = 3;
  while (start < path.size()) {
    size_t end = start;
    while (end < path.size() && path[end] != '\\') {
      end += IsDBCSLeadByteEx(932, static_cast<BYTE>(path[end])) ? 2 : 1;
    }
    select_child(run, browser, path.substr(start, end - start));
    start = end + 1;
  }
}

std::string status_line(HWND browser) {
  return control_text(browser, kStatusLine);
}

bool ok_enabled(HWND browser) {
  return IsWindowEnabled(GetDlgItem(browser, IDOK)) != FALSE;
}

struct ChooseCase {
  const char* name;
  const char* chosen;  // the folder chosen in the browser, made before the run
  const char* target;  // where Start then copies
};

// Start normalises whatever the box holds, the browser's path too: a last component with a dot
// is dropped, and a drive root loses its backslash.
const ChooseCase kChooseCases[] = {
    {"second byte 0x5C at the end", "C:\\フォルダ選択\\ゲーム表", "C:\\フォルダ選択\\ゲーム表"},
    {"dotted name", "C:\\フォルダ選択\\ゲーム.old", "C:\\フォルダ選択"},
    {"drive root", "C:\\", "C:\\"},
};

// Choosing a folder puts its path, exactly as the shell gives it, into the box, and Start copies
// into it. The registry's folder would take the copy if the box were left as it was.
TEST(FolderBrowser, ChosenFolderGoesIntoTheBoxAndTakesTheCopy) {
  for (const ChooseCase& c : kChooseCases) {
    SCOPED_TRACE(c.name);
    make_folders(c.chosen);
    std::string registered = fresh_folder("choose-registered");
    register_game(kDefaultKey, registered);
    Medium medium = medium_with_one_file("choose-medium");
    const std::string copied = join(c.target, "a.txt");
    DeleteFileA(copied.c_str());

    UpdateRun run(medium.root);
    HWND dialog = run.expect(Screen::update_dialog);
    press(dialog, kFolderButton);
    HWND browser = run.expect(Screen::folder_browser);
    select_path(run, browser, c.chosen);
    EXPECT_BYTES(status_line(browser), c.chosen);
    EXPECT_TRUE(ok_enabled(browser));
    press(browser, IDOK);

    wait_until_closed(browser, kWindowTimeoutMs);
    EXPECT_BYTES(wait_for_exact_text(dialog, kFolderBox, c.chosen), c.chosen);
    press(dialog, IDOK);
    run.expect(Screen::filecopy_dialog);
    expect_final_message(run, update_caption("Titleだよ"), kCompleted);
    EXPECT_TRUE(file_exists(copied) && read_file(copied) == bytes_of(kContent));
    EXPECT_TRUE(files_below(registered).empty());
  }
}

// The status line shows the full path of each folder the user moves to. An item without a
// path (My Computer) leaves it as it was and cannot be accepted; cancelling then leaves the
// typed text in the box.
TEST(FolderBrowser, StatusLineFollowsTheSelection) {
  const std::string first = join(kBrowseRoot, "ゲーム表");
  const std::string second = join(kBrowseRoot, "ソフト");  // 0x5C second byte, mid-tree too
  make_folders(first);
  make_folders(join(second, "能力"));
  register_game(kDefaultKey, "C:\\");
  Medium medium = medium_with_one_file("status-medium");
  const std::string typed = join(work_folder(), "typed");

  UpdateRun run(medium.root);
  HWND dialog = run.expect(Screen::update_dialog);
  set_control_text(dialog, kFolderBox, typed);
  press(dialog, kFolderButton);
  HWND browser = run.expect(Screen::folder_browser);

  const struct {
    std::string selected;
    std::string status;
    bool can_accept;
  } steps[] = {
      {first, first, true},
      {join(second, "能力"), join(second, "能力"), true},  // a folder below ソフト
      {"C:\\", "C:\\", true},                              // a drive root
      {kMyComputer, "C:\\", false},                        // no path: the line stays
      {second, second, true},                              // back up to a folder seen before
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(utf8_of(step.selected));
    HTREEITEM before = selected_item(browser);
    select_path(run, browser, step.selected);
    EXPECT_NE(selected_item(browser), before) << "the selection did not move";
    EXPECT_BYTES(status_line(browser), step.status);
    EXPECT_EQ(ok_enabled(browser), step.can_accept);
  }

  press(browser, IDCANCEL);
  wait_until_closed(browser, kWindowTimeoutMs);
  EXPECT_BYTES(control_text(dialog, kFolderBox), typed);
  press(dialog, IDCANCEL);
  EXPECT_EQ(run.wait_exit(), 1u);
}

// The folder button asks the browser for no folder of its own: whatever the box holds, an
// existing folder included, the browser opens with nothing selected and an empty status line.
TEST(FolderBrowser, OpensWithNothingSelectedWhateverTheBoxHolds) {
  const std::string folder = join(kBrowseRoot, "ゲーム表");
  make_folders(folder);
  register_game(kDefaultKey, folder);
  Medium medium = medium_with_one_file("initial-medium");

  UpdateRun run(medium.root);
  HWND dialog = run.expect(Screen::update_dialog);
  EXPECT_BYTES(control_text(dialog, kFolderBox), folder);
  press(dialog, kFolderButton);
  HWND browser = run.expect(Screen::folder_browser);
  EXPECT_EQ(selected_item(browser), nullptr)
      << utf8_of(label_of(run, browser, selected_item(browser)));
  EXPECT_BYTES(status_line(browser), "");

  press(browser, IDCANCEL);
  wait_until_closed(browser, kWindowTimeoutMs);
  press(dialog, IDCANCEL);
  EXPECT_EQ(run.wait_exit(), 1u);
}

// Accepting an item that has no file-system path leaves the box as it was. The browser greys
// out its OK button for such an item, so no click can accept it; the test sends the command the
// button would send. The folder selected before it must not leak into the box either.
TEST(FolderBrowser, AcceptedItemWithoutAPathKeepsTheBox) {
  const std::string visited = join(kBrowseRoot, "ゲーム表");
  make_folders(visited);
  std::string registered = fresh_folder("nopath-registered");
  std::string typed = fresh_folder("nopath-typed");
  register_game(kDefaultKey, registered);
  Medium medium = medium_with_one_file("nopath-medium");

  UpdateRun run(medium.root);
  HWND dialog = run.expect(Screen::update_dialog);
  set_control_text(dialog, kFolderBox, typed);
  press(dialog, kFolderButton);
  HWND browser = run.expect(Screen::folder_browser);
  select_path(run, browser, visited);
  ASSERT_BYTES(status_line(browser), visited);
  select_path(run, browser, kMyComputer);
  ASSERT_FALSE(ok_enabled(browser)) << "My Computer was not selected";
  press(browser, IDOK);

  wait_until_closed(browser, kWindowTimeoutMs);
  // Start is handled only after the folder button's handler has returned: the copy shows
  // what the box held then.
  press(dialog, IDOK);
  run.expect(Screen::filecopy_dialog);
  expect_final_message(run, update_caption("Titleだよ"), kCompleted);
  EXPECT_EQ(files_below(typed), std::vector<std::string>{"a.txt"});
  EXPECT_TRUE(files_below(registered).empty());
  EXPECT_TRUE(files_below(visited).empty());
}

struct TypedCase {
  const char* name;
  std::string (*typed)(const std::string& game);
};

// Every backslash doubled; the second byte of 表 (0x5C) is no backslash and stays single.
std::string with_doubled_backslashes(const std::string& game) {
  std::string doubled;
  for (size_t i = 0; i < game.size(); ++i) {
    if (IsDBCSLeadByteEx(932, static_cast<BYTE>(game[i])) && i + 1 < game.size()) {
      doubled += game.substr(i++, 2);
    } else {
      doubled += game[i] == '\\' ? std::string("\\\\") : std::string(1, game[i]);
    }
  }
  return doubled;
}

const TypedCase kTypedCases[] = {
    {"doubled backslashes", with_doubled_backslashes},
    {"a last component with an extension",
     [](const std::string& game) { return join(game, "game.exe"); }},
    {"a trailing backslash", [](const std::string& game) { return game + "\\"; }},
    {"doubled trailing backslashes", [](const std::string& game) { return game + "\\\\\\"; }},
};

// The typed forms of the game folder that Start turns into the folder itself: the copy lands in
// it and nowhere else, and no folder is made for a dropped component.
TEST(Destination, TypedFormsOfTheGameFolderTakeTheCopy) {
  for (const TypedCase& c : kTypedCases) {
    SCOPED_TRACE(c.name);
    Medium medium = medium_with_one_file("typed-medium");
    std::string registered = fresh_folder("typed-registered");
    std::string game = fresh_folder("typed-ゲーム表");
    register_game(kDefaultKey, registered);
    const std::vector<std::string> before = entries_below(work_folder());

    UpdateRun run(medium.root);
    HWND dialog = run.expect(Screen::update_dialog);
    set_control_text(dialog, kFolderBox, c.typed(game));
    press(dialog, IDOK);
    run.expect(Screen::filecopy_dialog);
    expect_final_message(run, update_caption("Titleだよ"), kCompleted);

    EXPECT_EQ(read_file(join(game, "a.txt")), bytes_of(kContent));
    std::vector<std::string> expected = before;
    expected.push_back("typed-ゲーム表\\a.txt");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(entries_below(work_folder()), expected);
  }
}

// Folder names of 50 bytes each, 12 of them: 600 bytes below the game folder.
std::string long_tail() {
  std::string tail;
  for (int i = 0; i < 12; ++i)
    tail += "\\" + std::string("長いフォルダ名") + std::string(36, static_cast<char>('a' + i));
  return tail.substr(1);
}

// Typed paths longer than the folder path that Start can form are refused as a missing folder,
// not cut to a shorter folder, and nothing is copied or made: a directory part of 600 bytes;
// a directory and a last component that fit one by one (255 bytes each) but not together; and a
// path of 259 bytes in all, which the joined path would hold but the collapsed one (254) not.
TEST(Destination, OverLongTypedPathIsAMissingFolder) {
  const struct {
    const char* name;
    std::string (*typed)(const std::string& game);
  } cases[] = {
      {"600 bytes of folder names",
       [](const std::string& game) { return join(game, long_tail()); }},
      {"directory of 250 bytes and a last component of 100",
       [](const std::string& game) {
         return join(join(game, std::string(248 - game.size(), 'd')), std::string(100, 'n'));
       }},
      {"259 bytes in all",
       [](const std::string& game) { return join(game, std::string(258 - game.size(), 'n')); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Medium medium = medium_with_one_file("long-medium");
    std::string game = fresh_folder("long-game");
    register_game(kDefaultKey, game);
    ASSERT_LT(game.size(), 200u) << "the work folder is too deep for these lengths";
    const std::string typed = c.typed(game);
    ASSERT_LT(typed.size(), 1024u) << "the box gives Start at most 1,023 bytes";
    const std::vector<std::string> before = entries_below(work_folder());

    UpdateRun run(medium.root);
    HWND dialog = run.expect(Screen::update_dialog);
    set_control_text(dialog, kFolderBox, typed);
    EXPECT_BYTES(control_text(dialog, kFolderBox), typed);
    press(dialog, IDOK);
    expect_final_message(run, kUpdateFailed, kNoFolder);
    EXPECT_EQ(entries_below(work_folder()), before);
  }
}

}  // namespace
}  // namespace e2e
