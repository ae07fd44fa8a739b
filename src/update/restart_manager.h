// Which programs hold some game files open, as the Restart Manager tells it where Windows has one.
#pragma once

constexpr int kProgramNameWidth = 64;  // bytes of code page 932, terminator included

// Asks the Restart Manager which programs hold the files (code page 932 paths of fewer than 260
// bytes) and copies the application names of at most `most` of them, each once, into names.
// Returns how many it copied: 0 where the Restart Manager is missing, fails or names nobody. A
// name without an exact code page 932 form is left out; a long one is cut on a character.
int programs_holding(const char (*files)[260], int file_count, char (*names)[kProgramNameWidth],
                     int most);
