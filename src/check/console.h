// What the publisher's console tools share on Windows: a console that shows UTF-8, and the code
// page the "A" file functions take names in.
#pragma once

#include <string>

#ifdef _WIN32
#include <windows.h>

// A console shows UTF-8 only when told to; a pipe or a file takes the bytes as they are. Restores
// the console's code page when it goes.
class Utf8Console {
 public:
  Utf8Console();
  ~Utf8Console();
  Utf8Console(const Utf8Console&) = delete;
  Utf8Console& operator=(const Utf8Console&) = delete;

 private:
  UINT saved_ = 0;
};
#else
struct Utf8Console {};
#endif

// The code page of the names the tools hand to the "A" file functions: 932 on Linux, where the
// tools convert themselves; the process's ANSI code page on Windows, which the tools' manifest
// asks to be 932 (Windows 11 grants it on any system locale, earlier versions ignore it).
unsigned ansi_code_page();

// The message for a Windows that runs the tool in another code page: the updater's names are
// code page 932, and read in any other they would name other files.
std::string code_page_refusal(const char* tool);
