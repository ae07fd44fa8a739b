// Code page 932 as the platform converts it, one character at a time (iconv on Linux, the code
// page functions on Windows), and the code page the updater's rules read names in.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// One character of one or two code page 932 bytes: appends its UTF-8 form to out; false when code
// page 932 has no such character.
bool append_cp932_char(const char* bytes, size_t len, std::string* out);
// The other way, for one character given as UTF-8 (without best-fit mappings on Windows). Appends
// its code page 932 form to out; false when there is none.
bool append_utf8_char_as_cp932(std::string_view utf8_char, std::string* out);
// False when this system can't convert code page 932 at all (an iconv without its tables).
bool cp932_converter_ready();

// The code page the updater's rules read names in (its lead bytes): 932 on Linux, where the tools
// convert themselves; the process's ANSI code page on Windows, which the tools' manifest asks to
// be 932 (Windows 11 grants it on any system locale, earlier versions ignore it).
unsigned ansi_code_page();
