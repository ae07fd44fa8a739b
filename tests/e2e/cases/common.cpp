// What the end-to-end cases share: the game's key, the texts update.exe shows, setup lists and
// the runs that end in a message box.
#include "common.h"

namespace e2e {

std::string list_of(std::initializer_list<std::string> lines) {
  std::string list;
  for (const std::string& line : lines)
    list += line + "\r\n";
  return list;
}

std::string not_installed(const std::string& title_old) {
  return title_old + "がインストールされていません";
}

std::string update_caption(const std::string& title) {
  return title + "のＵＰＤＡＴＥ";
}

std::string progress_text(const std::string& source, const std::string& destination) {
  return "インストール元　" + source + "\nインストール先　" + destination + "\n";
}

std::string failure_text(const std::string& source, const std::string& destination) {
  return source + " -> " + destination + "のファイルコピーができません。";
}

std::string wait_for_progress_line(HWND copy, DWORD timeout_ms) {
  ULONGLONG deadline = GetTickCount64() + timeout_ms;
  for (;;) {
    std::string text;
    if (!IsWindow(copy)) fail("the copy dialog closed before it showed how far a file was");
    if (read_text(GetDlgItem(copy, kProgressText), &text) &&
        text.find(kProgressLineLabel) != std::string::npos) {
      return text;
    }
    if (GetTickCount64() > deadline) fail("the copy dialog never showed how far a file was");
    Sleep(10);
  }
}

void expect_final_message(UpdateRun& run, const std::string& caption, const std::string& text,
                          const std::string& shot) {
  MessageBoxText box = run.take_message_box(shot);
  EXPECT_BYTES(box.caption, caption);
  EXPECT_BYTES(box.text, text);
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_EQ(run.wait_exit(), 1u);
}

void register_game(const std::string& key, const std::string& game_path) {
  set_values(key, {string_value("GAMEPATH", game_path)});
}

}  // namespace e2e
