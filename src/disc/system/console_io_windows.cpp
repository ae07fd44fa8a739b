// The Windows half of console_io.h: WriteConsoleW, whatever the console's code page. UTF-8 bytes
// after SetConsoleOutputCP(65001) came out as mojibake in Wine's console, and older Windows
// consoles mishandle them as well.
#include "console_io.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "wide_text_windows.h"

namespace {

// The console behind stream; nullptr when it goes to a pipe or a file.
HANDLE console_of(const FILE* stream) {
  HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : nullptr;
}

HANDLE console_input() {
  HANDLE handle = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : nullptr;
}

// A key that is pressed, not Shift, Ctrl or Alt alone (as the "press any key" of cmd's pause).
bool key_pressed(const INPUT_RECORD& record) {
  if (record.EventType != KEY_EVENT || !record.Event.KeyEvent.bKeyDown) return false;
  WORD key = record.Event.KeyEvent.wVirtualKeyCode;
  return key != VK_SHIFT && key != VK_CONTROL && key != VK_MENU;
}

}  // namespace

bool write_text(FILE* stream, std::string_view utf8) {
  HANDLE console = console_of(stream);
  if (console == nullptr) return fwrite(utf8.data(), 1, utf8.size(), stream) == utf8.size();
  (void)fflush(stream);  // what the C library holds goes first
  std::wstring wide = widen(std::string(utf8));
  // Older consoles refuse one large write; a piece never ends between the halves of a surrogate
  // pair.
  constexpr size_t kPiece = 8192;
  for (size_t at = 0; at < wide.size();) {
    size_t count = std::min(kPiece, wide.size() - at);
    if (count == kPiece && IS_HIGH_SURROGATE(wide[at + count - 1])) --count;
    DWORD written = 0;
    if (!WriteConsoleW(console, wide.data() + at, static_cast<DWORD>(count), &written, nullptr) ||
        written == 0) {
      return false;
    }
    at += written;
  }
  return true;
}

bool shows_on_console(FILE* stream) {
  return console_of(stream) != nullptr;
}

unsigned console_columns(FILE* stream) {
  HANDLE console = console_of(stream);
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (console == nullptr || !GetConsoleScreenBufferInfo(console, &info)) return 0;
  return static_cast<unsigned>(info.srWindow.Right - info.srWindow.Left + 1);
}

// Explorer starts a console program in a new console, which holds that program alone; started
// from cmd, the console's list holds cmd too.
bool console_of_its_own() {
  if (console_input() == nullptr || console_of(stdout) == nullptr) return false;
  DWORD processes[2];
  return GetConsoleProcessList(processes, 2) == 1;
}

void forget_typed_keys() {
  if (HANDLE input = console_input()) (void)FlushConsoleInputBuffer(input);
}

void wait_for_key() {
  HANDLE input = console_input();
  if (input == nullptr) return;
  INPUT_RECORD record;
  DWORD got = 0;
  while (ReadConsoleInputW(input, &record, 1, &got) && got == 1) {
    if (key_pressed(record)) return;
  }
}
