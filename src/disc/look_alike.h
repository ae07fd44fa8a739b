// Characters code page 932 has no form for, and the code page 932 character that looks the same:
// a name typed on a system whose table differs (the wave dash 〜 against the full-width tilde ～)
// reads the same to the eye and is another name to Windows.
#pragma once

#include <string>

// The code page 932 character that looks like c, or 0 when there is none (or c is one itself).
char32_t cp932_look_alike(char32_t c);

// The UTF-8 text with every character that has a look-alike replaced by it.
std::string with_cp932_look_alikes(const std::string& utf8);
