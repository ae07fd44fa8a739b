// The order of an update run and the one message that ends it.
#include <filesystem>
#include <string>
#include <vector>

#include "app_fixture.h"
#include "plan/update_state.h"
#include "res/resource.h"
#include "setuplist/setup_parser.h"
#include "update/update_sequence.h"

namespace {

using Boxes = std::vector<std::string>;
using Names = std::vector<std::string>;

const std::string kFailed = "ＵＰＤＡＴＥの失敗: ";

class Sequence : public AppTest {
 protected:
  // Plays the user: what to do in the UPDATE dialog, and whether to let the copy run to its end.
  void answer_update_dialog(const std::string& typed, int button) {
    standin::on_dialog([=](HWND dialog, const std::string& name) {
      if (name == "UPDATE") {
        if (!typed.empty()) standin::type_text(dialog, IDC_FOLDER_EDIT, typed);
        standin::command(dialog, button);
      } else {
        standin::run_timers(dialog, 1000);
      }
    });
  }
};

TEST_F(Sequence, NoListAndNoKeySaysNotInstalled) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(run_update(nullptr), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "SETUP.LST が開けませんでした。\n");
  EXPECT_EQ(boxes(), Boxes{kFailed + "Titleだよがインストールされていません"});
  EXPECT_TRUE(standin::reg_key_exists(kDefaultKey));
  EXPECT_EQ(standin::reg_value_count(kDefaultKey), 0u);
  EXPECT_TRUE(standin::dialogs_run().empty());
}

TEST_F(Sequence, ListNamesTheOldTitleAndItsOwnKey) {
  write("medium/update.ini",
        "#TITLE 新作\n#TITLE_OLD 旧作\n#REG_P Soft\n#REG_S Maker\n#REG_T Game2\n");
  EXPECT_EQ(run_update(nullptr), 1);
  EXPECT_EQ(boxes(), Boxes{kFailed + "旧作がインストールされていません"});
  EXPECT_TRUE(standin::reg_key_exists("Soft\\Maker\\Game2"));
  EXPECT_FALSE(standin::reg_key_exists(kDefaultKey));
}

TEST_F(Sequence, CancelEndsSilently) {
  standin::reg_set_value(kDefaultKey, "GAMEPATH", REG_SZ, game_);
  answer_update_dialog("", IDCANCEL);
  EXPECT_EQ(run_update(nullptr), 1);
  EXPECT_TRUE(boxes().empty());
  EXPECT_EQ(standin::dialogs_run(), Names{"UPDATE"});
}

TEST_F(Sequence, StartCopiesAndReportsCompletion) {
  write("medium/update.ini", "#TITLE 新作\n#INSTALL_LST\n[A]\n#FILE\n[A]\na.txt\n");
  write("medium/GAME/a.txt", "new");
  standin::reg_set_value(kDefaultKey, "GAMEPATH", REG_SZ, game_ + "\\");
  answer_update_dialog("", IDOK);
  EXPECT_EQ(run_update(nullptr), 1);
  EXPECT_EQ(standin::dialogs_run(), (Names{"UPDATE", "FILECOPY"}));
  EXPECT_EQ(boxes(), Boxes{"新作のＵＰＤＡＴＥ: ＵＰＤＡＴＥが完了しました。"});
  EXPECT_EQ(read("game/a.txt"), "new");
}

TEST_F(Sequence, MissingFolderIsReportedAndNotCreated) {
  standin::reg_set_value(kDefaultKey, "GAMEPATH", REG_SZ, game_);
  answer_update_dialog(game_ + "/missing", IDOK);
  run_update(nullptr);
  EXPECT_EQ(boxes(), Boxes{kFailed + "フォルダがありません。"});
  EXPECT_FALSE(exists("game/missing"));
  EXPECT_EQ(standin::dialogs_run(), Names{"UPDATE"});
}

TEST_F(Sequence, FileInsteadOfFolderIsReported) {
  write("game/plain", "x");
  standin::reg_set_value(kDefaultKey, "GAMEPATH", REG_SZ, game_);
  answer_update_dialog(game_ + "/plain", IDOK);
  run_update(nullptr);
  EXPECT_EQ(
      boxes(),
      Boxes{
          "フォルダ名の失敗: フォルダ名と同じファイルが存在します。このフォルダ名は使えません。"});
}

TEST_F(Sequence, EmptyFolderBoxIsAMissingFolder) {
  standin::reg_set_value(kDefaultKey, "GAMEPATH", REG_SZ, game_);
  standin::on_dialog([](HWND dialog, const std::string&) {
    standin::type_text(dialog, IDC_FOLDER_EDIT, "");
    standin::command(dialog, IDOK);
  });
  run_update(nullptr);
  EXPECT_EQ(boxes(), Boxes{kFailed + "フォルダがありません。"});
}

TEST_F(Sequence, CancelledCopyEndsWithoutCompletion) {
  write("medium/update.ini", "#FILE\n[]\n");
  standin::reg_set_value(kDefaultKey, "GAMEPATH", REG_SZ, game_);
  standin::on_dialog([](HWND dialog, const std::string& name) {
    standin::command(dialog, name == "UPDATE" ? IDOK : IDCANCEL);
  });
  run_update(nullptr);
  EXPECT_TRUE(boxes().empty());
}

// A dialog that cannot be shown stops the run with one message; the UPDATE dialog's OK never
// stands in for a copy dialog that did not run.
struct DialogFailure {
  const char* name;
  const char* failing;
  Names asked;
};

void PrintTo(const DialogFailure& c, std::ostream* os) {
  *os << c.name;
}

class DialogFailures : public Sequence, public testing::WithParamInterface<DialogFailure> {};

TEST_P(DialogFailures, StopTheRunWithoutCompletion) {
  write("medium/update.ini", "#INSTALL_LST\n[A]\n#FILE\n[A]\na.txt\n");
  write("medium/GAME/a.txt", "new");
  standin::reg_set_value(kDefaultKey, "GAMEPATH", REG_SZ, game_);
  answer_update_dialog("", IDOK);
  standin::fail_dialog(GetParam().failing);
  EXPECT_EQ(run_update(nullptr), 1);
  EXPECT_EQ(standin::dialogs_run(), GetParam().asked);
  EXPECT_EQ(boxes(), Boxes{kFailed + "ウィンドウを表示できませんでした。\n\nUPDATEを中止しました。"
                                     "ファイルはコピーしていません。"});
  EXPECT_FALSE(exists("game/a.txt"));
}

const DialogFailure kDialogFailures[] = {
    {"update_dialog", "UPDATE", {"UPDATE"}},
    {"filecopy_dialog", "FILECOPY", {"UPDATE", "FILECOPY"}},
};

INSTANTIATE_TEST_SUITE_P(Table, DialogFailures, testing::ValuesIn(kDialogFailures), CaseName());

// Two files of 512-byte clusters need 1 MB and 1,024 bytes at the peak: 2 MB, rounded up; the
// drive's 1 MB and 100 bytes show as 1 MB, rounded down.
TEST_F(Sequence, DiscThatCannotFitStopsBeforeTheCopy) {
  write("medium/update.ini", "#INSTALL_LST\n[A]\n#FILE\n[A]\na.dat\nb.dat\n");
  write("medium/GAME/a.dat", std::string(1048577, 'a'));
  write("medium/GAME/b.dat", "b");
  write("game/a.dat", "old");
  standin::reg_set_value(kDefaultKey, "GAMEPATH", REG_SZ, game_);
  standin::set_disk({true, 1048676, 1, 512, false});
  answer_update_dialog("", IDOK);
  EXPECT_EQ(run_update(nullptr), 1);
  EXPECT_EQ(standin::dialogs_run(), Names{"UPDATE"});
  EXPECT_EQ(boxes(), Boxes{kFailed + "ゲームのフォルダがあるドライブの空き容量が足りません。\n\n"
                                     "必要な空き容量：2 MB\n現在の空き容量：1 MB\n\n"
                                     "UPDATEを中止しました。ファイルはコピーしていません。"});
  EXPECT_EQ(files_under("game"), Names{"a.dat"});
  EXPECT_EQ(read("game/a.dat"), "old");
}

// A game file another program holds stops the run before the copy dialog with nothing copied and
// no folder made, whatever that program shares; one it holds for a moment only (a virus
// scanner) does not. The copy's own refusals (a read-only file) and a file whose access rights
// refuse the user are left to the copy, which reports each alone.
struct Held {
  std::string file;
  DWORD share;       // what the holder lets others do
  DWORD for_ms = 0;  // 0: for good
};

struct InUseCase {
  const char* name;
  std::vector<Held> held;
  standin::RestartManagerAnswer restart_manager;
  std::string named;    // what the stop names between its first and its last lines; empty: no stop
  bool denied = false;  // a.dat's access rights refuse this user
};

void PrintTo(const InUseCase& c, std::ostream* os) {
  *os << c.name;
}

class FilesInUse : public Sequence, public testing::WithParamInterface<InUseCase> {};

TEST_P(FilesInUse, StopTheRunBeforeTheCopy) {
  const InUseCase& c = GetParam();
  write("medium/update.ini",
        "#INSTALL_LST\n[A]\n#FILE\nuntyped.dat\n[A]\na.dat\nb.dat\nro.dat\nsub\\new.txt\n");
  for (const char* name : {"a.dat", "b.dat", "ro.dat", "sub/new.txt", "untyped.dat"})
    write(std::string("medium/GAME/") + name, "new");
  for (const char* name : {"a.dat", "b.dat", "ro.dat", "untyped.dat"})
    write(std::string("game/") + name, "old");
  make_read_only("game/ro.dat");
  for (const Held& held : c.held)
    standin::hold_open(game_ + "\\" + held.file, GENERIC_READ, held.share, held.for_ms);
  if (c.denied) standin::deny_writes(game_ + "\\a.dat");
  standin::set_restart_manager(c.restart_manager);
  standin::reg_set_value(kDefaultKey, "GAMEPATH", REG_SZ, game_);
  answer_update_dialog("", IDOK);
  EXPECT_EQ(run_update(nullptr), 1);
  if (c.named.empty()) {
    EXPECT_EQ(standin::dialogs_run(), (Names{"UPDATE", "FILECOPY"}));
    EXPECT_EQ(boxes().back(), "TitleだよのＵＰＤＡＴＥ: ＵＰＤＡＴＥが完了しました。");
    return;
  }
  EXPECT_EQ(standin::dialogs_run(), Names{"UPDATE"});
  EXPECT_EQ(boxes(),
            Boxes{kFailed + "ゲームのファイルをほかのプログラムが使っています。\n\n" + game_ +
                  "\\" + c.named +
                  "ゲームとそのランチャーを終了してから、もう一度UPDATEを実行してください。"
                  "\n\nUPDATEを中止しました。ファイルはコピーしていません。"});
  EXPECT_EQ(files_under("game"), (Names{"a.dat", "b.dat", "ro.dat", "untyped.dat"}));
  for (const char* name : {"a.dat", "b.dat", "untyped.dat", "ro.dat"})
    EXPECT_EQ(read(std::string("game/") + name), "old");
}

const standin::RestartManagerAnswer kNoRestartManager = {};
constexpr DWORD kSharesAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

const InUseCase kInUseCases[] = {
    {"holder_sharing_reading", {{"a.dat", FILE_SHARE_READ}}, kNoRestartManager, "a.dat\n\n"},
    // It would let the old check write, but not the replace: a rename over an open file fails.
    {"holder_sharing_everything", {{"a.dat", kSharesAll}}, kNoRestartManager, "a.dat\n\n"},
    {"first_in_copy_order",
     {{"b.dat", 0}, {"a.dat", 0}},
     kNoRestartManager,
     "a.dat（ほか 1 個のファイル）\n\n"},
    {"holder_for_a_moment", {{"a.dat", kSharesAll, 200}}, kNoRestartManager, ""},
    {"holder_for_longer_than_a_moment",
     {{"a.dat", kSharesAll, 2000}},
     kNoRestartManager,
     "a.dat\n\n"},
    {"access_denied_is_not_in_use", {}, kNoRestartManager, "", true},
    {"read_only_file_is_refused_by_the_copy", {{"ro.dat", 0}}, kNoRestartManager, ""},
    {"file_the_copy_skips", {{"untyped.dat", 0}}, kNoRestartManager, ""},
    // Each name once, at most three; a name without an exact code page 932 form is left out.
    {"programs_named",
     {{"a.dat", FILE_SHARE_READ}},
     {true,
      ERROR_SUCCESS,
      {L"ゲーム本体", L"Caf\u00e9", L"ゲーム本体", L"価格\u00a5", L"ランチャー", L"四番目"}},
     "a.dat\n\n使っているプログラム：ゲーム本体、ランチャー、四番目\n\n"},
    {"restart_manager_fails",
     {{"a.dat", FILE_SHARE_READ}},
     {true, ERROR_ACCESS_DENIED, {L"ゲーム本体"}},
     "a.dat\n\n"},
};

INSTANTIATE_TEST_SUITE_P(Table, FilesInUse, testing::ValuesIn(kInUseCases), CaseName());

// A run ended where the system could not remove its temporary (a power cut) left it beside the
// game file: the next run removes it before the room check, in the folders the list copies into,
// and only names of its own shape.
TEST_F(Sequence, LeftOverTemporariesAreRemoved) {
  write("medium/update.ini", "#INSTALL_LST\n[A]\n#FILE\n[A]\na.dat\nsub\\b.dat\n");
  write("medium/GAME/a.dat", "new");
  write("medium/GAME/sub/b.dat", "new");
  for (const char* left : {"game/updA6DD.tmp", "game/upd1.tmp", "game/sub/UPD00FF.TMP"})
    write(left, std::string(5000, 'x'));
  const Names kept = {"game/update.tmp", "game/upd12345.tmp", "game/saves/upd1.tmp",
                      "game/upd2.tmp.bak"};
  for (const std::string& other : kept)
    write(other, "the player's");
  standin::reg_set_value(kDefaultKey, "GAMEPATH", REG_SZ, game_);
  standin::set_disk({true, 20000, 1, 512, false});  // room enough only without the left-overs
  answer_update_dialog("", IDOK);
  EXPECT_EQ(run_update(nullptr), 1);
  EXPECT_EQ(boxes(), Boxes{"TitleだよのＵＰＤＡＴＥ: ＵＰＤＡＴＥが完了しました。"});
  EXPECT_EQ(files_under("game"), (Names{"a.dat", "saves", "saves/upd1.tmp", "sub", "sub/b.dat",
                                        "upd12345.tmp", "upd2.tmp.bak", "update.tmp"}));
}

TEST_F(Sequence, UnknownTypeBoxesThenTheRunGoesOn) {
  write("medium/update.ini", "#FILE\n[X]\n");
  run_update(nullptr);
  EXPECT_EQ(boxes(), (Boxes{"TEST: not list type", "TEST: [X]",
                            kFailed + "Titleだよがインストールされていません"}));
}

TEST_F(Sequence, ListOverALimitStopsBeforeTheRegistry) {
  write("medium/update.ini", "#FILE\nok.txt\n" + std::string(40, 'n') + "\n");
  standin::reg_set_value(kDefaultKey, "GAMEPATH", REG_SZ, game_);
  EXPECT_EQ(run_update(nullptr), 1);
  ASSERT_EQ(standin::message_boxes().size(), 1u);
  EXPECT_EQ(boxes()[0],
            kFailed + "SETUP.LST の 3 行目：ファイル名が長すぎます（31バイトまで）。\n\n" +
                std::string(40, 'n') + "\n\nUPDATEを中止しました。ファイルはコピーしていません。");
  EXPECT_TRUE(standin::dialogs_run().empty());
  EXPECT_EQ(standin::reg_open_keys(), 0);
}

// Any ANSI code page but 932 (an older Windows with another system locale, or with the UTF-8
// option) stops the run before the list and the registry: one box through the wide interface,
// in Japanese and English, or in English alone when the conversion from 932 fails.
struct CodePageCase {
  const char* name;
  UINT code_page;
  bool conversion_fails;
};

class CodePageStop : public Sequence, public testing::WithParamInterface<CodePageCase> {};

TEST_P(CodePageStop, StopsBeforeTheListAndTheRegistry) {
  write("medium/update.ini", "#FILE\n" + std::string(40, 'n') + "\n");  // a list that would stop
  standin::set_ansi_code_page(GetParam().code_page);
  standin::fail_code_page_conversion(GetParam().conversion_fails);
  testing::internal::CaptureStdout();
  EXPECT_EQ(run_update(nullptr), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  ASSERT_EQ(standin::message_boxes().size(), 1u);
  const standin::MessageBoxRecord& box = standin::message_boxes()[0];
  EXPECT_TRUE(box.wide);
  auto has = [&](const std::string& part) { return box.text.find(part) != std::string::npos; };
  EXPECT_TRUE(has("Windows 11"));
  EXPECT_TRUE(has("\"Language for non-Unicode programs\""));
  EXPECT_TRUE(has("Beta: Use Unicode UTF-8"));
  EXPECT_EQ(has("「Unicode 対応ではないプログラムの言語」"), !GetParam().conversion_fails);
  EXPECT_EQ(box.caption,
            GetParam().conversion_fails ? "Update failed" : "ＵＰＤＡＴＥの失敗 / Update failed");
  EXPECT_FALSE(standin::reg_key_exists(kDefaultKey));
  EXPECT_TRUE(standin::dialogs_run().empty());
}

const CodePageCase kCodePageCases[] = {
    {"western_windows_10", 1252, false},
    {"chinese_windows_10", 936, false},
    {"utf8_option", 65001, false},
    {"conversion_fails", 1252, true},
};

INSTANTIATE_TEST_SUITE_P(Table, CodePageStop, testing::ValuesIn(kCodePageCases), CaseName());

// The folder update.exe runs from, whose path every source path starts from: without an exact
// code page 932 form (converted best-fit, lacking, or converted one way only) the run stops before
// the list and the registry, with one box that shows the folder as Windows holds it. A path that
// reads back whole goes on.
struct FolderCase {
  const char* name;
  const char* folder;  // UTF-8, as Linux names files
  bool stops;
};

class FolderNameStop : public Sequence, public testing::WithParamInterface<FolderCase> {};

TEST_P(FolderNameStop, StopsBeforeTheListAndTheRegistry) {
  const std::string kKey = "Software\\TALLOWMERE\\新作";
  std::filesystem::path folder = work_ / GetParam().folder;
  std::filesystem::create_directories(folder);
  std::filesystem::current_path(folder);
  write(GetParam().folder + std::string("/update.ini"), "#TITLE_OLD 旧作\n#REG_T 新作\n");
  testing::internal::CaptureStdout();
  EXPECT_EQ(run_update(nullptr), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  if (!GetParam().stops) {
    EXPECT_EQ(boxes(), Boxes{kFailed + "旧作がインストールされていません"});
    EXPECT_TRUE(standin::reg_key_exists(kKey));
    return;
  }
  ASSERT_EQ(standin::message_boxes().size(), 1u);
  const standin::MessageBoxRecord& box = standin::message_boxes()[0];
  EXPECT_TRUE(box.wide);
  EXPECT_EQ(box.caption, "ＵＰＤＡＴＥの失敗 / Update failed");
  for (const std::string& part : {u8"UPDATEを実行できません。\n\n" + folder.string() +
                                      u8"\n\nパスが日本語と半角英数字・記号だけ",
                                  std::string("\n\nThis update can't run from the folder above"),
                                  std::string("\nNothing was copied.")}) {
    EXPECT_NE(box.utf8_text.find(part), std::string::npos) << box.utf8_text;
  }
  EXPECT_FALSE(standin::reg_key_exists(kKey));
  EXPECT_TRUE(standin::dialogs_run().empty());
}

const FolderCase kFolderCases[] = {
    {"accented_latin_that_converts_best_fit", u8"Downloads/José/update", true},
    {"yen_sign_that_converts_to_a_backslash", u8"¥100", true},
    {"wave_dash_that_reads_back_as_the_fullwidth_tilde", u8"波〜", true},
    {"hangul_that_code_page_932_lacks", u8"업데이트", true},
    {"ascii", "update", false},
    {"second_bytes_0x5c_and_the_fullwidth_yen", u8"表ソフト￥", false},
    {"nec_and_ibm_rows", u8"①髙", false},
};

INSTANTIATE_TEST_SUITE_P(Table, FolderNameStop, testing::ValuesIn(kFolderCases), CaseName());

}  // namespace
