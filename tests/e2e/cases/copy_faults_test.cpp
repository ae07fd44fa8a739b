// Faults before and in the middle of the copy. A game running when the update starts, or a disc
// that cannot fit, stops the run before the first copy. A file the game takes during the copy, a
// medium that goes away, a source nobody may read or that reads short of its size, a disk too
// full for a new version: each is reported for its own file and for nothing else, the old file
// stays byte for byte, no temporary copy is left in the game folder, the files after it are still
// copied and the run ends with the completion message.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "cases/common.h"
#include "driver/faults.h"

namespace e2e {
namespace {

const char kTitle[] = "Titleだよ";  // the list names none: the built-in title

using Names = std::vector<std::string>;

// One install type holding the files, in this order.
std::string list_of_files(std::initializer_list<std::string> names) {
  std::string list = list_of({"#INSTALL_LST", "[標準]", "#FILE", "[標準]"});
  for (const std::string& name : names)
    list += name + "\r\n";
  return list;
}

// Bytes that show a half copy or a text-mode copy: zero bytes, Ctrl-Z, CR LF.
std::string game_bytes(const std::string& seed, size_t size) {
  std::string bytes = seed + bytes_of("\0\x1A\r\n");
  while (bytes.size() < size)
    bytes += static_cast<char>(bytes.size() * 13 + seed.size());
  return bytes;
}

// Through the UPDATE dialog to the copy.
HWND start_copy(UpdateRun& run) {
  press(run.expect(Screen::update_dialog), IDOK);
  return run.expect(Screen::filecopy_dialog);
}

// The failure box of one file: owned by the copy dialog, naming both paths.
void expect_failure(HWND box, HWND copy, const Medium& medium, const std::string& game,
                    const std::string& name) {
  EXPECT_EQ(GetWindow(box, GW_OWNER), copy);
  EXPECT_BYTES(window_text(box), kCopyFailed);
  EXPECT_BYTES(control_text(box, kMessageBoxTextId),
               failure_text(medium.data_path(name), join(game, name)));
}

void take_failure(UpdateRun& run, HWND copy, const Medium& medium, const std::string& game,
                  const std::string& name) {
  SCOPED_TRACE("failure box of " + name);
  HWND box = run.expect(Screen::message_box);
  expect_failure(box, copy, medium, game, name);
  run.dismiss(box);
}

void expect_completion(UpdateRun& run) {
  expect_final_message(run, update_caption(kTitle), kCompleted);
}

// The game folder holds exactly these files, no temporary copy among them.
void expect_game_files(const std::string& game, Names expected) {
  EXPECT_EQ(temp_files_below(game), Names()) << "a temporary copy was left behind";
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(files_below(game), expected);
}

// The game is running when the update starts: it holds game.dat for reading and lets others only
// read it. The run stops before the copy dialog with one message that names the file (Wine's
// Restart Manager names no program), and every game file is left as it was, no folder made.
TEST(CopyFaults, GameRunningWhenTheUpdateStarts) {
  Medium medium = fresh_medium("running-medium");
  medium.write_list(list_of_files({"a.txt", "game.dat", "sub\\new.txt"}));
  medium.add_file("a.txt", "new a");
  medium.add_file("game.dat", game_bytes("new game", 200000));
  medium.add_file("sub\\new.txt", "new file");
  std::string game = fresh_folder("running-game");
  const std::string old_game = game_bytes("old game", 150000);
  write_file(join(game, "a.txt"), "old a");
  write_file(join(game, "game.dat"), old_game);
  register_game(kDefaultKey, game);

  {
    HeldFile running_game(join(game, "game.dat"), GENERIC_READ, FILE_SHARE_READ);
    UpdateRun run(medium.root);
    press(run.expect(Screen::update_dialog), IDOK);
    expect_final_message(run, kUpdateFailed,
                         "ゲームのファイルをほかのプログラムが使っています。\n\n" +
                             join(game, "game.dat") +
                             "\n\nゲームとそのランチャーを終了してから、もう一度UPDATEを実行して"
                             "ください。\n\nUPDATEを中止しました。ファイルはコピーしていません。",
                         "in-use");
  }

  EXPECT_EQ(read_file(join(game, "a.txt")), "old a");
  EXPECT_TRUE(read_file(join(game, "game.dat")) == old_game) << "the held file was changed";
  expect_game_files(game, {"a.txt", "game.dat"});
}

// The game starts while the copy waits on the box of a file the medium lacks, after the check:
// its file is reported and kept, the copy waits while that box is open (the next file and its new
// folder are not there yet, and no temporary copy of the held file lingers), and after the box
// the next file gets its new folder, one level, and is copied.
TEST(CopyFaults, GameStartedDuringTheCopy) {
  Medium medium = fresh_medium("held-medium");
  medium.write_list(list_of_files({"hold.txt", "game.dat", "sub\\after.txt", "last.txt"}));
  medium.add_file("game.dat", game_bytes("new game", 200000));
  medium.add_file("sub\\after.txt", "new after");
  medium.add_file("last.txt", "new last");
  std::string game = fresh_folder("held-game");
  const std::string old_game = game_bytes("old game", 150000);
  write_file(join(game, "game.dat"), old_game);
  write_file(join(game, "last.txt"), "old last");
  register_game(kDefaultKey, game);

  {
    UpdateRun run(medium.root);
    HWND copy = start_copy(run);
    HWND hold_box = run.expect(Screen::message_box);
    expect_failure(hold_box, copy, medium, game, "hold.txt");
    HeldFile running_game(join(game, "game.dat"));
    run.dismiss(hold_box);
    HWND box = run.expect(Screen::message_box);
    expect_failure(box, copy, medium, game, "game.dat");
    run.expect_quiet(300);  // five ticks of the copy timer
    EXPECT_FALSE(is_directory(join(game, "sub"))) << "the next file started under the box";
    expect_game_files(game, {"game.dat", "last.txt"});
    run.dismiss(box);
    expect_completion(run);
  }

  EXPECT_TRUE(read_file(join(game, "game.dat")) == old_game) << "the held file was changed";
  EXPECT_EQ(read_file(join(game, "sub\\after.txt")), "new after");
  EXPECT_EQ(read_file(join(game, "last.txt")), "new last");
  expect_game_files(game, {"game.dat", "last.txt", "sub\\after.txt"});
}

// The medium's data folder goes away after the first file: every later file is reported, the
// old ones stay as they were, nothing new is half made, and the run still completes. A file the
// medium lacks holds the run with its box while the folder goes.
TEST(CopyFaults, MediumGoneAfterTheFirstFile) {
  Medium medium = fresh_medium("gone-medium");
  medium.write_list(list_of_files({"first.txt", "hold.txt", "second.dat", "third.txt"}));
  medium.add_file("first.txt", "new first");
  medium.add_file("second.dat", game_bytes("new second", 100000));
  medium.add_file("third.txt", "new third");
  std::string game = fresh_folder("gone-game");
  write_file(join(game, "first.txt"), "old first");
  const std::string old_second = game_bytes("old second", 90000);
  write_file(join(game, "second.dat"), old_second);
  register_game(kDefaultKey, game);

  UpdateRun run(medium.root);
  HWND copy = start_copy(run);
  HWND box = run.expect(Screen::message_box);
  expect_failure(box, copy, medium, game, "hold.txt");
  EXPECT_EQ(read_file(join(game, "first.txt")), "new first");
  std::string data = join(medium.root, medium.data_folder);
  if (!MoveFileA(data.c_str(), (data + "-gone").c_str())) fail("cannot move " + data + " away");
  run.dismiss(box);

  take_failure(run, copy, medium, game, "second.dat");
  take_failure(run, copy, medium, game, "third.txt");
  expect_completion(run);

  EXPECT_TRUE(read_file(join(game, "second.dat")) == old_second) << "the old file was changed";
  expect_game_files(game, {"first.txt", "second.dat"});
}

// A source the copy can't read to its end is reported; the old game file stays and the next
// file is copied.
void expect_bad_source_reported(const Medium& medium, const std::string& game) {
  const std::string old_bytes = game_bytes("old bad", 5000);
  write_file(join(game, "bad.dat"), old_bytes);
  register_game(kDefaultKey, game);

  UpdateRun run(medium.root);
  HWND copy = start_copy(run);
  take_failure(run, copy, medium, game, "bad.dat");
  expect_completion(run);

  EXPECT_TRUE(read_file(join(game, "bad.dat")) == old_bytes) << "the old file was changed";
  EXPECT_EQ(read_file(join(game, "next.txt")), "new next");
  expect_game_files(game, {"bad.dat", "next.txt"});
}

Medium bad_source_medium(const std::string& name) {
  Medium medium = fresh_medium(name);
  medium.write_list(list_of_files({"bad.dat", "next.txt"}));
  medium.add_file("next.txt", "new next");
  return medium;
}

TEST(CopyFaults, SourceNobodyMayRead) {
  Medium medium = bad_source_medium("unreadable-medium");
  medium.add_file("bad.dat", game_bytes("new bad", 5000));
  deny_all_access(medium.data_path("bad.dat"));
  expect_bad_source_reported(medium, fresh_folder("unreadable-game"));
}

// A file of Linux's /sys says 4096 bytes and gives a few: as a source that shrinks under the copy
// or a disc whose read error the system takes for the end of the file, the copy ends early
// without the system calling it a failure. Only the size tells.
TEST(CopyFaults, SourceReadingShortOfItsSize) {
  const char kShortFile[] = "Z:\\sys\\devices\\system\\cpu\\online";
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (unix_path_of(kShortFile).empty() ||
      !GetFileAttributesExA(kShortFile, GetFileExInfoStandard, &info) ||
      read_file(kShortFile).size() >= info.nFileSizeLow) {
    GTEST_SKIP() << "no file here reads short of its size";
  }
  Medium medium = bad_source_medium("short-medium");
  make_unix_symlink(medium.data_path("bad.dat"), "/sys/devices/system/cpu/online");
  expect_bad_source_reported(medium, fresh_folder("short-game"));
}

// The game lives on a small disk, and another program fills it while the copy waits on the box
// of a file the medium lacks: the new version of a big file no longer fits. It is reported, the
// old version stays, the partial copy is removed, and a small file later in the list still fits
// and is copied.
TEST(CopyFaults, SmallDiskTooFullForTheNewVersion) {
  std::string disk = path_from_env("E2E_SMALL_DISK");
  if (disk.empty()) GTEST_SKIP() << "no small disk: only the harness running as root mounts one";
  constexpr size_t kNewSize = size_t{512} * 1024;
  constexpr size_t kRoomLeft = size_t{128} * 1024;

  Medium medium = fresh_medium("full-medium");
  medium.write_list(list_of_files({"hold.txt", "big.dat", "small.txt"}));
  medium.add_file("big.dat", game_bytes("new big", kNewSize));
  medium.add_file("small.txt", "new small");
  std::string game = join(disk, "game");
  make_folders(game);
  const std::string old_big = game_bytes("old big", size_t{64} * 1024);
  write_file(join(game, "big.dat"), old_big);
  register_game(kDefaultKey, game);

  UpdateRun run(medium.root);
  HWND copy = start_copy(run);
  HWND box = run.expect(Screen::message_box);
  expect_failure(box, copy, medium, game, "hold.txt");
  unsigned long long room = free_bytes(disk + "\\");
  ASSERT_GT(room, kRoomLeft);
  write_file(join(disk, "filler.bin"), std::string(room - kRoomLeft, 'f'));
  ASSERT_LT(free_bytes(disk + "\\"), kNewSize);
  run.dismiss(box);
  take_failure(run, copy, medium, game, "big.dat");
  expect_completion(run);

  EXPECT_TRUE(read_file(join(game, "big.dat")) == old_big) << "the old file was changed";
  EXPECT_EQ(read_file(join(game, "small.txt")), "new small");
  expect_game_files(game, {"big.dat", "small.txt"});
}

// The room check's stop: what the update needs, rounded up to whole megabytes, and what the drive
// has, rounded down.
std::string no_room_text(size_t needed, size_t room) {
  constexpr size_t kMegabyte = size_t{1024} * 1024;
  return "ゲームのフォルダがあるドライブの空き容量が足りません。\n\n必要な空き容量：" +
         std::to_string((needed + kMegabyte - 1) / kMegabyte) + " MB\n現在の空き容量：" +
         std::to_string(room / kMegabyte) +
         " MB\n\nUPDATEを中止しました。ファイルはコピーしていません。";
}

struct RoomCase {
  const char* name;
  size_t extra;  // bytes beyond what just fits
  bool fits;
};

// What Wine reports for the harness's 1 MB tmpfs: 1,048,576 bytes free, clusters of 8 sectors
// of 512 bytes. A 64 KB game file replaced by 128 KB grows the game by 64 KB, so a second, new
// file of the room left less 64 KB just fits; one byte more takes another cluster and does not.
const RoomCase kRoomCases[] = {
    {"just fits", 0, true},
    {"one byte more", 1, false},
};

TEST(CopyFaults, SmallDiskRoomIsCheckedBeforeTheCopy) {
  std::string disk = path_from_env("E2E_SMALL_DISK");
  if (disk.empty()) GTEST_SKIP() << "no small disk: only the harness running as root mounts one";
  constexpr size_t kCluster = 4096;
  for (const RoomCase& c : kRoomCases) {
    SCOPED_TRACE(c.name);
    std::string game = join(disk, "room-game");
    make_folders(game);
    const std::string old_a = game_bytes("old a", 16 * kCluster);
    write_file(join(game, "a.dat"), old_a);
    size_t room = free_bytes(disk + "\\");
    ASSERT_EQ(room % kCluster, 0u);
    size_t b_size = room - 16 * kCluster + c.extra;
    Medium medium = fresh_medium("room-medium");
    medium.write_list(list_of_files({"a.dat", "b.dat"}));
    medium.add_file("a.dat", game_bytes("new a", 32 * kCluster));
    medium.add_file("b.dat", game_bytes("new b", b_size));
    register_game(kDefaultKey, game);

    UpdateRun run(medium.root);
    press(run.expect(Screen::update_dialog), IDOK);
    if (c.fits) {
      run.expect(Screen::filecopy_dialog);
      expect_completion(run);
      EXPECT_TRUE(read_file(join(game, "b.dat")) == read_file(medium.data_path("b.dat")));
      expect_game_files(game, {"a.dat", "b.dat"});
    } else {
      expect_final_message(run, kUpdateFailed, no_room_text(room + kCluster, room), "no-room");
      EXPECT_TRUE(read_file(join(game, "a.dat")) == old_a) << "the game was changed";
      expect_game_files(game, {"a.dat"});
    }
    remove_tree(game);
  }
}

// A read-only game file listed twice: the first copy keeps it and clears its flag, the second
// replaces it. That second copy needs the new file's room beside the old one; a drive without it
// stops the run before the first copy, where the room check once counted nothing for either.
TEST(CopyFaults, SmallDiskCountsTheSecondCopyOfAReadOnlyFile) {
  std::string disk = path_from_env("E2E_SMALL_DISK");
  if (disk.empty()) GTEST_SKIP() << "no small disk: only the harness running as root mounts one";
  constexpr size_t kCluster = 4096;
  std::string game = join(disk, "read-only-game");
  make_folders(game);
  const std::string old_file = game_bytes("old", 16 * kCluster);
  write_file(join(game, "ro.dat"), old_file);
  set_read_only(join(game, "ro.dat"), true);
  size_t room = free_bytes(disk + "\\");
  ASSERT_EQ(room % kCluster, 0u);
  Medium medium = fresh_medium("read-only-medium");
  medium.write_list(list_of_files({"ro.dat", "ro.dat"}));
  medium.add_file("ro.dat", game_bytes("new", room + 1));
  register_game(kDefaultKey, game);

  UpdateRun run(medium.root);
  press(run.expect(Screen::update_dialog), IDOK);
  expect_final_message(run, kUpdateFailed, no_room_text(room + kCluster, room));
  EXPECT_TRUE(read_file(join(game, "ro.dat")) == old_file) << "the game was changed";
  EXPECT_NE(attributes_of(join(game, "ro.dat")) & FILE_ATTRIBUTE_READONLY, 0u);
  set_read_only(join(game, "ro.dat"), false);
  remove_tree(game);
}

}  // namespace
}  // namespace e2e
