// What update-try prints; see say.h.
#include "say.h"

#include <windows.h>

#include <cstdio>

namespace {

void write_to(DWORD which, FILE* stream, const std::string& utf8) {
  HANDLE handle = GetStdHandle(which);
  DWORD mode = 0;
  if (handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode)) {
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    DWORD written = 0;
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  (void)fwrite(utf8.data(), 1, utf8.size(), stream);
  (void)fflush(stream);
}

}  // namespace

void say(const std::string& utf8) {
  write_to(STD_OUTPUT_HANDLE, stdout, utf8);
}

void say_error(const std::string& utf8) {
  write_to(STD_ERROR_HANDLE, stderr, "update-try: " + utf8 + "\n");
}
