// How wide text shows in a terminal's fixed-width columns, so that the tools' text reports line
// up with Japanese names in them.
#pragma once

#include <string>
#include <string_view>

// Columns of UTF-8 text: 2 for a character code page 932 holds in two bytes (kanji, kana,
// full-width forms) and for the wide East Asian characters it lacks, 1 for the rest (ASCII,
// half-width katakana).
size_t display_width(std::string_view utf8);

// The text followed by blanks up to width columns (none when it is as wide or wider).
std::string pad_to_width(const std::string& utf8, size_t width);
