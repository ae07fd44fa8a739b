// Where the publisher's tools differ between Linux and Windows, and nowhere else: the code page
// converters, the code page of the "A" file functions, the console, the command line and the
// program's own folder.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The platform's converter for one character of one or two code page 932 bytes: iconv on Linux,
// the code page functions on Windows. Appends its UTF-8 form to out; false when code page 932 has
// no such character.
bool append_cp932_char(const char* bytes, size_t len, std::string* out);
// The other way, for one character given as UTF-8 (without best-fit mappings on Windows). Appends
// its code page 932 form to out; false when there is none.
bool append_utf8_char_as_cp932(std::string_view utf8_char, std::string* out);
// False when this system can't convert code page 932 at all (an iconv without its tables).
bool cp932_converter_ready();

// The code page of the names the tools hand to the "A" file functions: 932 on Linux, where the
// tools convert themselves; the process's ANSI code page on Windows, which the tools' manifest
// asks to be 932 (Windows 11 grants it on any system locale, earlier versions ignore it).
unsigned ansi_code_page();

// Makes a console show UTF-8 (a console shows UTF-8 only when told to; a pipe or a file takes the
// bytes as they are). Returns what console_restore needs, 0 when nothing was changed.
unsigned console_to_utf8();
void console_restore(unsigned saved);

// The arguments as UTF-8. Windows gives them from the wide command line, so that any name
// arrives whatever the system's code page.
std::vector<std::string> command_line_utf8(int argc, char** argv);

// The folder this program was started from.
std::filesystem::path program_folder();

// A path in the bytes the platform's "A" file functions take (the system's code page on Windows).
// Empty when the path has no such form.
std::string platform_path(const std::filesystem::path& path);
