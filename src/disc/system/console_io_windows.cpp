// The Windows half of console_io.h: the console's output code page.
#include "console_io.h"

#include <windows.h>

unsigned console_to_utf8() {
  DWORD mode;
  if (!GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) &&
      !GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode)) {
    return 0;
  }
  UINT saved = GetConsoleOutputCP();
  SetConsoleOutputCP(CP_UTF8);
  return saved;
}

void console_restore(unsigned saved) {
  SetConsoleOutputCP(saved);
}
