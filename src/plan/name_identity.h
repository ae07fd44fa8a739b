// When two names from a setup list are one game file on Windows. The updater hands its names to
// the "A" file functions, which convert them from code page 932 to UTF-16 (a character that the
// code page has twice, in the NEC and the IBM rows, becomes one) and NTFS then compares them by
// its upper-case table. For the code page 932 repertoire that table is simple upper-casing of
// ASCII, full-width Latin, Greek, Cyrillic and the small Roman numerals. NTFS does not compose:
// kana with a separate voicing mark never come from a list, whose code page has none.
#pragma once

#include <cstddef>

// The code that stands for a code page 932 character (a byte, or a lead byte shifted left by 8
// with its second byte) as Windows compares file names: the code its round trip through UTF-16
// gives, upper-cased.
unsigned game_name_char(unsigned code);

// The key of a name: its parts as Windows keeps them ('\' and '/' alike, empty and "." parts
// dropped, a part's trailing dots and blanks dropped), joined by '\', every character as
// game_name_char gives it. Two names are one game file exactly when their keys are equal. The key
// is never longer than the name; false when it does not fit width (it is then cut).
bool game_file_key(const char* name, char* key, size_t width);

// Whether two names (code page 932, each under 1,024 bytes) name one game file on Windows.
bool same_game_file(const char* a, const char* b);
