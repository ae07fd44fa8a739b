// What the end-to-end cases share: the game's key, the texts update.exe shows, setup lists and
// the runs that end in a message box.
#pragma once

#include <initializer_list>
#include <string>

#include "driver/bytes.h"
#include "drive/dialogs.h"
#include "driver/environment.h"
#include "driver/files.h"
#include "drive/registry.h"
#include "driver/update_run.h"

namespace e2e {

// The key the built-in REG_P, REG_S and REG_T make.
constexpr char kDefaultKey[] = "Software\\TALLOWMERE\\GAME";
constexpr char kUpdateFailed[] = "ＵＰＤＡＴＥの失敗";
constexpr char kNoFolder[] = "フォルダがありません。";
constexpr char kCopying[] = "UPDATE中です・・・";
constexpr char kCopyFailed[] = "ファイルコピー失敗";
constexpr char kCompleted[] = "ＵＰＤＡＴＥが完了しました。";

// The third line of the copy dialog's progress text, under a file that has run a second: how far
// it is.
constexpr char kProgressLineLabel[] = "コピー済み　";

// Control ids of the UPDATE and FILECOPY dialogs, as the dialog templates give them.
constexpr int kFolderBox = 1001;
constexpr int kFolderButton = 1000;
constexpr int kProgressText = 1009;

// All the bytes of a literal, zero bytes inside it included, but not its own terminator.
template <size_t N>
std::string bytes_of(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

// The lines of a setup list, each ended with CR LF as the install kit writes them.
std::string list_of(std::initializer_list<std::string> lines);

// "<title_old>がインストールされていません"
std::string not_installed(const std::string& title_old);
// "<title>のＵＰＤＡＴＥ", the caption of the UPDATE dialog and of the completion message.
std::string update_caption(const std::string& title);
// The copy dialog's progress text, and the text of the box of a file that can't be copied.
std::string progress_text(const std::string& source, const std::string& destination);
std::string failure_text(const std::string& source, const std::string& destination);

// Waits until the copy dialog shows how far a long file is, and returns its progress text: the
// file has then been under way for a second.
std::string wait_for_progress_line(HWND copy, DWORD timeout_ms = kWindowTimeoutMs);

// Expects the run to show exactly this message box, owned by no window, and then to end with
// exit code 1. With a shot name, the box is photographed when E2E_SHOTS asks for pictures.
void expect_final_message(UpdateRun& run, const std::string& caption, const std::string& text,
                          const std::string& shot = "");

// A game folder in the registry: GAMEPATH under the key, as a string value.
void register_game(const std::string& key, const std::string& game_path);

}  // namespace e2e
