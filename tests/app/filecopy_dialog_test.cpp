// The FILECOPY dialog, played tick by tick through the stand-in: which files it copies, in what
// order, what it shows, how it reports failures, and that it never leaves the game worse off.
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>

#include "app_fixture.h"
#include "plan/update_state.h"
#include "res/resource.h"
#include "setuplist/setup_record.h"
#include "setuplist/text.h"
#include "update/filecopy_dialog.h"
#include "update/plan_update.h"

namespace {

namespace fs = std::filesystem;
using Boxes = std::vector<std::string>;
using Names = std::vector<std::string>;

class FileCopy : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    copy_bounded(DestinationPath, sizeof DestinationPath, game_.c_str());
    ProceedFlag = 1;  // left by the UPDATE dialog; the copy dialog must clear it
  }

  void list(std::initializer_list<std::pair<const char*, uint32_t>> entries) {
    reset_tables();
    for (const auto& entry : entries) {
      copy_bounded(FileTable.file_name[FileTable.file_count], kFileNameWidth, entry.first);
      FileTable.type_mask[FileTable.file_count++] = entry.second;
    }
  }

  // Plans the copy as the run does, then runs the dialog; the default script lets the timer run
  // until the dialog ends itself.
  int run(std::function<void(HWND)> script = nullptr) {
    plan_update();
    int ticks = 0;
    standin::on_dialog([&](HWND dialog, const std::string&) {
      dialog_ = dialog;
      if (script) script(dialog);
      if (!standin::ended(dialog)) ticks += standin::run_timers(dialog, 1000);
    });
    DialogBoxParamA(nullptr, "FILECOPY", nullptr, filecopy_dialog_proc, 0);
    return ticks;
  }

  std::string progress() const { return standin::item_text(dialog_, IDC_PROGRESS); }
  std::string source(const std::string& name) const {
    return (work_ / "medium").string() + "\\GAME\\" + name;
  }
  std::string destination(const std::string& name) const { return game_ + "\\" + name; }
  std::string failure(const std::string& name) const {
    return "ファイルコピー失敗: " + source(name) + " -> " + destination(name) +
           "のファイルコピーができません。";
  }

  HWND dialog_ = nullptr;
};

TEST_F(FileCopy, CopiesTheSelectedFilesInListOrderOnePerTick) {
  list({{"a.txt", 1}, {"b.txt", 0x80}, {"sub\\c.txt", 2}});
  write("medium/GAME/a.txt", "A");
  write("medium/GAME/b.txt", "BB");
  write("medium/GAME/sub/c.txt", "CCC");
  int ticks = run([&](HWND dialog) {
    EXPECT_EQ(ProceedFlag, 0);
    EXPECT_EQ(standin::timer_period(dialog, 123), 60u);
    EXPECT_TRUE(standin::tick(dialog));
    EXPECT_EQ(read("game/a.txt"), "A");
    EXPECT_FALSE(exists("game/b.txt"));
    EXPECT_TRUE(standin::tick(dialog));
    EXPECT_EQ(read("game/b.txt"), "BB");
    EXPECT_FALSE(exists("game/sub"));
  });
  EXPECT_EQ(ticks + 2, 4);  // three files and the tick that finds none left
  EXPECT_EQ(read("game/sub/c.txt"), "CCC");
  EXPECT_EQ(ProceedFlag, 1);
  EXPECT_TRUE(boxes().empty());
  EXPECT_EQ(progress(), "インストール元　" + source("sub\\c.txt") + "\nインストール先　" +
                            destination("sub\\c.txt") + "\n");
  EXPECT_EQ(files_under("game"), (Names{"a.txt", "b.txt", "sub", "sub/c.txt"}));
}

TEST_F(FileCopy, ProgressIsShownBeforeTheCopy) {
  list({{"a.txt", 1}});
  standin::on_message_box([&](const standin::MessageBoxRecord&) {
    EXPECT_EQ(progress(), "インストール元　" + source("a.txt") + "\nインストール先　" +
                              destination("a.txt") + "\n");
  });
  run();
  EXPECT_EQ(boxes(), Boxes{failure("a.txt")});
}

TEST_F(FileCopy, NothingSelectedEndsAtTheFirstTick) {
  list({{"high.txt", 0x100}, {"none.txt", 0x80000000u}});
  write("medium/GAME/high.txt", "x");
  write("medium/GAME/none.txt", "x");
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(ProceedFlag, 1);
  EXPECT_EQ(progress(), "");
  EXPECT_TRUE(files_under("game").empty());
}

TEST_F(FileCopy, EmptyTableEndsAtTheFirstTick) {
  list({});
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(ProceedFlag, 1);
}

TEST_F(FileCopy, MakesOneMissingFolderLevel) {
  list({{"one\\a", 1}, {"two\\deep\\b", 1}, {"two\\c", 1}, {"two\\deep\\d", 1}});
  for (const char* f : {"one/a", "two/deep/b", "two/c", "two/deep/d"}) {
    write(std::string("medium/GAME/") + f, f);
  }
  run();
  EXPECT_EQ(read("game/one/a"), "one/a");
  EXPECT_FALSE(exists("game/two/deep/b"));  // two levels were missing
  EXPECT_EQ(read("game/two/c"), "two/c");
  EXPECT_EQ(read("game/two/deep/d"), "two/deep/d");  // the earlier entry made the outer one
  EXPECT_EQ(boxes(), Boxes{failure("two\\deep\\b")});
  EXPECT_EQ(ProceedFlag, 1);
}

TEST_F(FileCopy, ReplacesAnExistingFileAndClearsReadOnlyFromADisc) {
  list({{"a.txt", 1}});
  write("medium/GAME/a.txt", "new");
  make_read_only("medium/GAME/a.txt");
  write("game/a.txt", "old old old");
  const fs::file_time_type published(std::chrono::duration_cast<std::chrono::seconds>(
      (fs::file_time_type::clock::now() - std::chrono::hours(800)).time_since_epoch()));
  fs::last_write_time(work_ / "medium/GAME/a.txt", published);
  run();
  standin::power_cut();  // the new data reached the disk before the rename
  EXPECT_EQ(read("game/a.txt"), "new");
  EXPECT_FALSE(is_read_only("game/a.txt"));
  EXPECT_EQ(fs::last_write_time(work_ / "game/a.txt"), published);  // update-check compares them
  EXPECT_TRUE(files_under("game") == Names{"a.txt"});               // no temporary file left
}

TEST_F(FileCopy, ReadOnlyGameFileIsKeptReportedAndMadeWritable) {
  list({{"a.txt", 1}, {"b.txt", 1}});
  write("medium/GAME/a.txt", "new");
  write("medium/GAME/b.txt", "b");
  write("game/a.txt", "old");
  make_read_only("game/a.txt");
  run();
  EXPECT_EQ(read("game/a.txt"), "old");
  EXPECT_FALSE(is_read_only("game/a.txt"));
  EXPECT_EQ(read("game/b.txt"), "b");
  EXPECT_EQ(boxes(), Boxes{failure("a.txt")});
  EXPECT_EQ(ProceedFlag, 1);
}

TEST_F(FileCopy, MissingSourceIsReportedAndTheRestCopied) {
  list({{"gone.txt", 1}, {"b.txt", 1}});
  write("medium/GAME/b.txt", "b");
  run();
  EXPECT_EQ(boxes(), Boxes{failure("gone.txt")});
  EXPECT_EQ(read("game/b.txt"), "b");
  EXPECT_EQ(ProceedFlag, 1);
}

TEST_F(FileCopy, FailedLastFileStillEndsAlongOk) {
  list({{"a.txt", 1}, {"gone.txt", 1}});
  write("medium/GAME/a.txt", "a");
  run();
  EXPECT_EQ(boxes(), Boxes{failure("gone.txt")});
  EXPECT_EQ(ProceedFlag, 1);
}

TEST_F(FileCopy, TicksDuringAFailureBoxStartNothing) {
  list({{"gone.txt", 1}, {"b.txt", 1}, {"c.txt", 1}});
  write("medium/GAME/b.txt", "b");
  write("medium/GAME/c.txt", "c");
  int boxes_open = 0;
  standin::on_message_box([&](const standin::MessageBoxRecord& box) {
    ++boxes_open;
    for (int i = 0; i < 20; ++i)
      standin::tick(box.owner);  // the box's loop goes on ticking
    EXPECT_FALSE(exists("game/b.txt"));
    EXPECT_EQ(boxes_open, 1);
    --boxes_open;
  });
  run([&](HWND dialog) {
    standin::tick(dialog);  // the failing file, with its box held open
    EXPECT_FALSE(exists("game/b.txt"));
    standin::tick(dialog);  // the first tick after the box starts the next file
    EXPECT_EQ(read("game/b.txt"), "b");
    EXPECT_FALSE(exists("game/c.txt"));
  });
  EXPECT_EQ(read("game/c.txt"), "c");
  EXPECT_EQ(standin::message_boxes().size(), 1u);
}

// Esc and the close box (IDCANCEL) end the copy: between two files at once, during a file once
// that file's copy has stopped (its old game file stays as it was). Enter comes as an IDOK from
// the dialog manager: it must not end a copy with files left as if it were complete, so it is
// ignored and the copy goes on to the end.
struct KeyCase {
  const char* name;
  int command;
  int presses;       // Enter pressed twice, or a key that repeats
  bool during_file;  // pressed while a.txt is under way, else between a.txt and b.txt
  unsigned char proceed;
  Names game_files;  // afterwards
};

void PrintTo(const KeyCase& c, std::ostream* os) {
  *os << c.name;
}

class KeysMidCopy : public FileCopy, public testing::WithParamInterface<KeyCase> {};

TEST_P(KeysMidCopy, EndOrGoOn) {
  const KeyCase& c = GetParam();
  list({{"a.txt", 1}, {"b.txt", 1}, {"c.txt", 1}});
  for (const char* name : {"a.txt", "b.txt", "c.txt"})
    write(std::string("medium/GAME/") + name, name);
  if (c.during_file) standin::hold_copies();
  run([&](HWND dialog) {
    standin::tick(dialog);
    for (int i = 0; i < c.presses; ++i)
      standin::command(dialog, c.command);
    standin::let_copies_run();
  });
  EXPECT_EQ(ProceedFlag, c.proceed);
  EXPECT_EQ(files_under("game"), c.game_files);
  EXPECT_TRUE(boxes().empty());
}

const KeyCase kKeyCases[] = {
    {"escape_or_close_box", IDCANCEL, 1, false, 0, {"a.txt"}},
    {"enter", IDOK, 2, false, 1, {"a.txt", "b.txt", "c.txt"}},
    {"escape_during_a_file", IDCANCEL, 2, true, 0, {}},
    {"enter_during_a_file", IDOK, 2, true, 1, {"a.txt", "b.txt", "c.txt"}},
};

INSTANTIATE_TEST_SUITE_P(Table, KeysMidCopy, testing::ValuesIn(kKeyCases), CaseName());

// A file under way, held by the test: the dialog answers ticks and keys while its copy runs.

// A tick while a file is under way starts nothing; a file that has taken more than a second shows
// how far it is under the two lines, and the two lines alone again once it is done.
TEST_F(FileCopy, FileUnderWayShowsHowFarAndStartsNothingElse) {
  list({{"big.dat", 1}, {"b.txt", 1}});
  write("medium/GAME/big.dat", std::string(300000, 'n'));
  write("medium/GAME/b.txt", "b");
  const std::string lines =
      "インストール元　" + source("big.dat") + "\nインストール先　" + destination("big.dat") + "\n";
  standin::hold_copies();
  run([&](HWND dialog) {
    standin::tick(dialog);
    standin::let_copy_move(100000);
    for (int i = 0; i < 16; ++i) {  // 960 ms
      standin::tick(dialog);
      EXPECT_EQ(progress(), lines);
    }
    standin::tick(dialog);  // 1,020 ms
    EXPECT_EQ(progress(), lines + "コピー済み　0 / 1 MB（33%）");
    EXPECT_FALSE(exists("game/b.txt"));
    EXPECT_EQ(CopyDoneCount, CopyAckCount);
    standin::let_copies_run();
    standin::pump(dialog);
    EXPECT_EQ(progress(), lines);
    EXPECT_EQ(read("game/big.dat"), std::string(300000, 'n'));
    EXPECT_FALSE(exists("game/b.txt"));  // the next tick starts it
  });
  EXPECT_EQ(read("game/b.txt"), "b");
  EXPECT_EQ(ProceedFlag, 1);
}

// Esc part-way through a file: the copy stops, its temporary goes, the old file stays byte for
// byte, the next file is not copied, and the run ends as a cancel ends it, with no message.
TEST_F(FileCopy, CancelledPartWayKeepsTheOldFile) {
  list({{"big.dat", 1}, {"b.txt", 1}});
  write("medium/GAME/big.dat", std::string(300000, 'n'));
  write("medium/GAME/b.txt", "b");
  write("game/big.dat", "old contents");
  standin::hold_copies();
  run([&](HWND dialog) {
    standin::tick(dialog);
    standin::let_copy_move(100000);
    EXPECT_EQ(files_under("game").size(), 2u);  // the old file and the temporary
    standin::command(dialog, IDCANCEL);
    EXPECT_FALSE(standin::ended(dialog));  // until the job has stopped
    standin::let_copy_move(65536);
    standin::pump(dialog);
    EXPECT_TRUE(standin::ended(dialog));
  });
  EXPECT_EQ(ProceedFlag, 0);
  EXPECT_EQ(read("game/big.dat"), "old contents");
  EXPECT_EQ(files_under("game"), Names{"big.dat"});
  EXPECT_TRUE(boxes().empty());
}

// A medium that stalls inside one read does not hold a cancel for longer than 400 ms: the dialog
// ends with the job still waiting, and when the process ends, its temporary goes with it.
TEST_F(FileCopy, CancelDoesNotWaitForAStalledMedium) {
  list({{"big.dat", 1}});
  write("medium/GAME/big.dat", std::string(300000, 'n'));
  write("game/big.dat", "old contents");
  standin::hold_copies();
  int ticks = 0;
  run([&](HWND dialog) {
    standin::tick(dialog);
    standin::let_copy_move(1000);
    standin::command(dialog, IDCANCEL);
    while (standin::tick(dialog))
      ++ticks;
  });
  EXPECT_EQ(ticks, 6);  // the 7th tick is 420 ms after the cancel
  EXPECT_EQ(ProceedFlag, 0);
  standin::end_process();
  EXPECT_EQ(read("game/big.dat"), "old contents");
  EXPECT_EQ(files_under("game"), Names{"big.dat"});
}

// A failure inside a file's copy, while ticks go on: reported once the job has ended; the old file
// stays, no temporary stays, and the next file is copied.
TEST_F(FileCopy, FailureInsideAFileIsReportedAtItsEnd) {
  list({{"big.dat", 1}, {"b.txt", 1}});
  write("medium/GAME/big.dat", std::string(300000, 'n'));
  write("medium/GAME/b.txt", "b");
  write("game/big.dat", "old contents");
  standin::inject_copy_fault(standin::CopyFault::fails_midway);
  standin::hold_copies();
  run([&](HWND dialog) {
    standin::tick(dialog);
    standin::let_copy_move(100000);
    standin::tick(dialog);
    EXPECT_TRUE(boxes().empty());
    standin::let_copies_run();
    standin::pump(dialog);
    EXPECT_EQ(boxes(), Boxes{failure("big.dat")});
  });
  EXPECT_EQ(read("game/big.dat"), "old contents");
  EXPECT_EQ(files_under("game"), (Names{"b.txt", "big.dat"}));
  EXPECT_EQ(ProceedFlag, 1);
}

// A game folder too long for a temporary name: the plain copy over the old file is not stopped
// part-way, which would leave it half new. Esc ends the run once it is done.
TEST_F(FileCopy, PlainCopyFinishesBeforeACancel) {
  const std::string pad(250 - game_.size() - 1, 'f');
  copy_bounded(DestinationPath, sizeof DestinationPath, (game_ + "\\" + pad).c_str());
  list({{"big.dat", 1}, {"b.txt", 1}});
  write("medium/GAME/big.dat", std::string(300000, 'n'));
  write("medium/GAME/b.txt", "b");
  write("game/" + pad + "/big.dat", "old contents");
  standin::hold_copies();
  run([&](HWND dialog) {
    standin::tick(dialog);
    standin::let_copy_move(1000);
    standin::command(dialog, IDCANCEL);
    for (int i = 0; i < 20; ++i)
      EXPECT_TRUE(standin::tick(dialog));
    standin::let_copies_run();
    standin::pump(dialog);
    EXPECT_TRUE(standin::ended(dialog));
  });
  EXPECT_EQ(ProceedFlag, 0);
  EXPECT_EQ(read("game/" + pad + "/big.dat"), std::string(300000, 'n'));
  EXPECT_EQ(files_under("game/" + pad), Names{"big.dat"});
}

// Where no thread can be made, each file's copy runs inside its step, as it always did.
TEST_F(FileCopy, NoThreadCopiesInTheStep) {
  list({{"a.txt", 1}, {"b.txt", 1}});
  write("medium/GAME/a.txt", "a");
  write("medium/GAME/b.txt", "b");
  standin::fail_threads(true);
  EXPECT_EQ(run(), 3);
  EXPECT_EQ(files_under("game"), (Names{"a.txt", "b.txt"}));
  EXPECT_EQ(ProceedFlag, 1);
}

// A name from the list that would land outside the game folder is reported, and nothing is made,
// copied or changed for it.
TEST_F(FileCopy, NamesOutsideTheGameFolderAreRefused) {
  list({{"..\\outside.txt", 1},
        {"..\\medium\\GAME\\ro.txt", 1},
        {"CON", 1},
        {"a.txt:s", 1},
        {"\\abs.txt", 1},
        {"..\\newdir\\x", 1},
        {"ok.txt", 1}});
  write("medium/GAME/ok.txt", "ok");
  write("outside.txt", "keep");
  write("medium/GAME/ro.txt", "ro");
  make_read_only("medium/GAME/ro.txt");
  run();
  EXPECT_EQ(boxes().size(), 6u);
  EXPECT_EQ(boxes()[0], failure("..\\outside.txt"));
  EXPECT_EQ(read("outside.txt"), "keep");
  EXPECT_TRUE(is_read_only("medium/GAME/ro.txt"));
  EXPECT_FALSE(exists("newdir"));
  EXPECT_EQ(files_under("game"), Names{"ok.txt"});
}

// Faults of the disk and of the disc, and game files Windows' copy refuses: the old file stays
// byte for byte, no temporary file stays. Afterwards the game file has lost its read-only flag
// and kept its hidden and system flags.
struct FaultCase {
  const char* name;
  standin::CopyFault fault;
  bool hold_destination;
  DWORD game_file_attributes;
};

void PrintTo(const FaultCase& c, std::ostream* os) {
  *os << c.name;
}

class CopyFaults : public FileCopy, public testing::WithParamInterface<FaultCase> {};

TEST_P(CopyFaults, KeepTheOldFile) {
  list({{"a.dat", 1}, {"b.dat", 1}});
  write("medium/GAME/a.dat", std::string(100000, 'n'));
  write("medium/GAME/b.dat", "b");
  write("game/a.dat", "old contents");
  if (GetParam().hold_destination) standin::hold_open(game_ + "\\a.dat", GENERIC_READ, 0);
  const DWORD attributes = GetParam().game_file_attributes;
  if (attributes != 0) SetFileAttributesA((game_ + "\\a.dat").c_str(), attributes);
  standin::inject_copy_fault(GetParam().fault);
  run();
  EXPECT_EQ(read("game/a.dat"), "old contents");
  EXPECT_EQ(GetFileAttributesA((game_ + "\\a.dat").c_str()) & 0x7u,
            attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  EXPECT_EQ(files_under("game"), (Names{"a.dat", "b.dat"}));
  EXPECT_EQ(boxes(), Boxes{failure("a.dat")});
  EXPECT_EQ(ProceedFlag, 1);
}

const FaultCase kFaultCases[] = {
    {"disk_full_midway", standin::CopyFault::fails_midway, false, 0},
    {"short_copy_reported_as_success", standin::CopyFault::stops_short, false, 0},
    {"game_still_running", standin::CopyFault::none, true, 0},
    {"flush_to_disk_fails", standin::CopyFault::flush_fails, false, 0},
    {"hidden_game_file", standin::CopyFault::none, false, FILE_ATTRIBUTE_HIDDEN},
    {"system_game_file", standin::CopyFault::none, false, FILE_ATTRIBUTE_SYSTEM},
    {"hidden_read_only_game_file", standin::CopyFault::none, false,
     FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY},
};

INSTANTIATE_TEST_SUITE_P(Table, CopyFaults, testing::ValuesIn(kFaultCases), CaseName());

TEST_F(FileCopy, FolderPathTooLongIsNotMadeAndTheCopyFails) {
  std::string deep = game_ + "\\" + std::string(250 - game_.size(), 'g');
  copy_bounded(DestinationPath, sizeof DestinationPath, deep.c_str());
  list({{"abcdefgh\\x", 1}});
  write("medium/GAME/abcdefgh/x", "x");
  run();
  EXPECT_EQ(standin::message_boxes().size(), 1u);
  EXPECT_TRUE(files_under("game").empty());
}

// GetTempFileNameA takes a folder of at most 246 bytes, the backslash after the game folder
// included. A longer game folder gets the plain copy over the destination, so every destination
// under MAX_PATH bytes is still copied; a read-only game file is still refused, and a short copy
// still reported.
struct LongFolderCase {
  const char* name;
  size_t folder_length;
  std::string file;
  bool read_only_game_file;
  standin::CopyFault fault;
  std::string left;  // the game file afterwards; "new" when copied
};

void PrintTo(const LongFolderCase& c, std::ostream* os) {
  *os << c.name;
}

class LongGameFolders : public FileCopy, public testing::WithParamInterface<LongFolderCase> {};

TEST_P(LongGameFolders, CopyEveryDestinationThatFits) {
  const LongFolderCase& c = GetParam();
  const std::string pad(c.folder_length - game_.size() - 1, 'f');
  const std::string folder = game_ + "\\" + pad;
  copy_bounded(DestinationPath, sizeof DestinationPath, folder.c_str());
  list({{c.file.c_str(), 1}});
  write("medium/GAME/" + c.file, "new");
  make_read_only("medium/GAME/" + c.file);  // as on a disc: the copy carries the flag
  write("game/" + pad + "/" + c.file, "old");
  if (c.read_only_game_file) make_read_only("game/" + pad + "/" + c.file);
  standin::inject_copy_fault(c.fault);
  run();
  const bool copied = c.left == "new" && c.fault == standin::CopyFault::none;
  if (copied) standin::power_cut();  // a copy reported done is on the disk
  EXPECT_EQ(read("game/" + pad + "/" + c.file), c.left);
  EXPECT_EQ(files_under("game/" + pad), Names{c.file});  // no temporary file
  EXPECT_FALSE(is_read_only("game/" + pad + "/" + c.file));
  Boxes failed{"ファイルコピー失敗: " + source(c.file) + " -> " + folder + "\\" + c.file +
               "のファイルコピーができません。"};
  EXPECT_EQ(boxes(), copied ? Boxes{} : failed);
}

const LongFolderCase kLongFolderCases[] = {
    {"temporary_name_fits", 245, "a.txt", false, standin::CopyFault::none, "new"},
    {"temporary_name_fits_and_keeps_the_old_file", 245, "a.txt", false,
     standin::CopyFault::fails_midway, "old"},
    {"no_room_for_a_temporary_name", 246, "a.txt", false, standin::CopyFault::none, "new"},
    {"destination_of_259_bytes", 250, "abcdefgh", false, standin::CopyFault::none, "new"},
    {"destination_of_260_bytes", 250, "abcdefghi", false, standin::CopyFault::none, "old"},
    {"read_only_game_file", 250, "a.txt", true, standin::CopyFault::none, "old"},
    // The plain copy cannot keep the old file, but the copy is not taken for a good one.
    {"short_copy", 250, "a.txt", false, standin::CopyFault::stops_short, "n"},
    {"flush_fails", 250, "a.txt", false, standin::CopyFault::flush_fails, "new"},
};

INSTANTIATE_TEST_SUITE_P(Table, LongGameFolders, testing::ValuesIn(kLongFolderCases), CaseName());

TEST_F(FileCopy, EachEntryIsCopiedOnce) {
  list({{"a.txt", 1}, {"a.txt", 2}});
  write("medium/GAME/a.txt", "a");
  int copies = 0;
  run([&](HWND dialog) {
    while (standin::tick(dialog)) {
      if (progress().find("a.txt") != std::string::npos) ++copies;
      standin::type_text(dialog, IDC_PROGRESS, "");
    }
  });
  EXPECT_EQ(copies, 2);  // listed twice, copied twice, in order
}

}  // namespace
