// What update-make does differently on Windows: the console, the command line, its own folder,
// and paths for the checker, which opens files with the "A" functions.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

// A console shows UTF-8 only when told to; a pipe or a file takes the bytes as they are.
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

// The arguments as UTF-8. Windows gives them from the wide command line, so that any name
// arrives whatever the system's code page.
std::vector<std::string> command_line_utf8(int argc, char** argv);

// The folder this program was started from.
std::filesystem::path program_folder();

// The code page the "A" file functions take names in: 932 on Linux, where the checker converts.
unsigned ansi_code_page();

// A path in the bytes the platform's "A" file functions take (the system's code page on Windows).
// Empty when the path has no such form.
std::string platform_path(const std::filesystem::path& path);
