// The console and code page of the publisher's tools; see console.h.
#include <string>

#include "console.h"

#ifdef _WIN32

#include <cstdio>

Utf8Console::Utf8Console() {
  DWORD mode;
  if (GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) ||
      GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode)) {
    saved_ = GetConsoleOutputCP();
    SetConsoleOutputCP(CP_UTF8);
  }
}

Utf8Console::~Utf8Console() {
  if (saved_ == 0) return;
  (void)fflush(stdout);  // what is still buffered must go out under the UTF-8 code page
  (void)fflush(stderr);
  SetConsoleOutputCP(saved_);
}

unsigned ansi_code_page() {
  return GetACP();
}

#else

unsigned ansi_code_page() {
  return 932;
}

#endif

std::string code_page_refusal(const char* tool) {
  return std::string(tool) +
         " reads the disc as the updater does, with code page 932 names, and this system runs "
         "code page " +
         std::to_string(ansi_code_page()) +
         " (Windows before 11 gives no program another one): run it on a system whose language "
         "for non-Unicode programs is Japanese, on Windows 11, or on Linux";
}
