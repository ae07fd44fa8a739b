// The order of an update run and its final messages.
#include "update_sequence.h"

#include <algorithm>
#include <cstdio>

#include "code_page_stop.h"
#include "filecopy_dialog.h"
#include "folder_name_stop.h"
#include "in_use_check.h"
#include "leftover_sweep.h"
#include "plan/update_state.h"
#include "plan_update.h"
#include "registry/game_registry.h"
#include "setuplist/list_reader.h"
#include "setuplist/setup_parser.h"
#include "setuplist/setup_record.h"
#include "setuplist/text.h"
#include "space_check.h"
#include "update_dialog.h"

HINSTANCE AppInstance;

namespace {

const char kUpdateFailed[] = "ＵＰＤＡＴＥの失敗";
const char kNoWindow[] =
    "ウィンドウを表示できませんでした。\n\n"
    "UPDATEを中止しました。ファイルはコピーしていません。";

void show_message(const char* text, const char* caption) {
  MessageBoxA(nullptr, text, caption, MB_OK);
}

void show_list_message(void*, const char* text, const char* caption) {
  show_message(text, caption);
}

void open_and_parse_setup_list() {
  SetupListFile = open_setup_list("update.ini");
  if (SetupListFile == nullptr) (void)printf("SETUP.LST が開けませんでした。\n");
  SetupHooks.message_box = show_list_message;
  parse_setup_list();
  if (SetupListFile != nullptr) {
    (void)fclose(SetupListFile);  // opened for reading: nothing to lose
    SetupListFile = nullptr;
  }
}

const char* limit_description(SetupLimit limit) {
  switch (limit) {
    case SetupLimit::file_name_length:
      return "ファイル名が長すぎます（31バイトまで）。";
    case SetupLimit::file_count:
      return "ファイルが多すぎます（256個まで）。";
    case SetupLimit::type_count:
      return "インストールタイプが多すぎます（32個まで）。";
    case SetupLimit::type_name_length:
      return "インストールタイプ名が長すぎます（63バイトまで）。";
    case SetupLimit::path_length:
      return "PATHが長すぎます（255バイトまで）。";
    case SetupLimit::reg_key_length:
      return "レジストリキーが長すぎます（1023バイトまで）。";
    case SetupLimit::none:
      break;
  }
  return "";
}

// A list over one of its limits would update the game wrongly or only in part: say which limit
// and which line, and copy nothing.
void show_limit_stop() {
  char line[256];
  copy_cut_cp932(line, sizeof line, SetupProblem.text);
  char text[1024];
  wsprintfA(
      text,
      "SETUP.LST の %d 行目：%s\n\n%s\n\nUPDATEを中止しました。ファイルはコピーしていません。",
      SetupProblem.line, limit_description(SetupProblem.limit), line);
  show_message(text, kUpdateFailed);
}

// A disc that cannot fit would fail file after file and leave the game part old, part new: stop
// before the first copy. wsprintfA has no 64-bit format that every Windows knows, so the sizes go
// out as whole megabytes, which fit 32 bits: needed rounded up, free rounded down.
bool disk_has_room() {
  DiskRoom room;
  if (!measure_disk_room(&room) || room.needed <= room.available) return true;
  constexpr uint64_t kMegabyte = uint64_t{1024} * 1024;
  constexpr uint64_t kMost = 0xFFFFFFFFu;
  auto needed =
      static_cast<unsigned long>(std::min((room.needed + kMegabyte - 1) / kMegabyte, kMost));
  auto available = static_cast<unsigned long>(std::min(room.available / kMegabyte, kMost));
  char text[1024];
  wsprintfA(text,
            "ゲームのフォルダがあるドライブの空き容量が足りません。\n\n"
            "必要な空き容量：%lu MB\n現在の空き容量：%lu MB\n\n"
            "UPDATEを中止しました。ファイルはコピーしていません。",
            needed, available);
  show_message(text, kUpdateFailed);
  return false;
}

// A running game (or its launcher) holds some of its files: each would fail on its own while the
// others were replaced, leaving the game in two versions at once. Stop before the first copy, name
// the first such file and, where Windows can tell, the programs to close.
bool no_files_in_use() {
  FilesInUse in_use;
  if (!find_files_in_use(&in_use)) return true;
  char more[64] = "";
  if (in_use.file_count > 1) wsprintfA(more, "（ほか %d 個のファイル）", in_use.file_count - 1);
  char programs[kProgramsNamed * (kProgramNameWidth + 2) + 64] = "";
  if (in_use.program_count > 0) {
    append_bounded(programs, sizeof programs, "使っているプログラム：");
    for (int i = 0; i < in_use.program_count; ++i) {
      if (i > 0) append_bounded(programs, sizeof programs, "、");
      append_bounded(programs, sizeof programs, in_use.programs[i]);
    }
    append_bounded(programs, sizeof programs, "\n\n");
  }
  char text[1024];
  wsprintfA(text,
            "ゲームのファイルをほかのプログラムが使っています。\n\n%s%s\n\n%s"
            "ゲームとそのランチャーを終了してから、もう一度UPDATEを実行してください。\n\n"
            "UPDATEを中止しました。ファイルはコピーしていません。",
            in_use.files[0], more, programs);
  show_message(text, kUpdateFailed);
  return false;
}

// ProceedFlag is shared by both dialogs: cleared first, so a dialog that never ran cannot pass
// on the OK of the one before. DialogBoxParamA gives -1 when the dialog cannot be made (no
// desktop, a missing template, no resources left): that ends the run with a word, never as a
// success.
bool run_dialog(const char* template_name, DLGPROC proc) {
  ProceedFlag = 0;
  if (DialogBoxParamA(AppInstance, template_name, nullptr, proc, 0) == -1) {
    show_message(kNoWindow, kUpdateFailed);
    return false;
  }
  return ProceedFlag != 0;
}

}  // namespace

int run_update(HINSTANCE instance) {
  AppInstance = instance;
  if (stop_unless_code_page_932() || stop_unless_folder_has_cp932_path()) return 1;
  open_and_parse_setup_list();
  if (SetupProblem.limit != SetupLimit::none) {
    show_limit_stop();
    return 1;
  }

  read_game_registry(SetupRecord.REG_KEY, DestinationPath);
  if (DestinationPath[0] == '\0') {
    char text[1024];
    wsprintfA(text, "%sがインストールされていません", SetupRecord.TITLE_OLD);
    show_message(text, kUpdateFailed);
    return 1;
  }

  if (!run_dialog("UPDATE", update_dialog_proc)) return 1;

  DWORD attributes = GetFileAttributesA(DestinationPath);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    show_message("フォルダがありません。", kUpdateFailed);
    return 1;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    show_message("フォルダ名と同じファイルが存在します。このフォルダ名は使えません。",
                 "フォルダ名の失敗");
    return 1;
  }

  plan_update();
  // Before the room check: a temporary left by an ended run takes room the update may need.
  remove_leftover_temporaries();
  if (!disk_has_room() || !no_files_in_use()) return 1;
  if (!run_dialog("FILECOPY", filecopy_dialog_proc)) return 1;

  // The caption holds TITLE (at most 99 bytes) and the 14 bytes after it.
  static_assert(kTitleWidth + sizeof("のＵＰＤＡＴＥ") <= 256, "completion caption buffer");
  char caption[256];
  wsprintfA(caption, "%sのＵＰＤＡＴＥ", SetupRecord.TITLE);
  show_message("ＵＰＤＡＴＥが完了しました。", caption);
  return 1;
}
