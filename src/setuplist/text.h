// Bounded copies of NUL-terminated byte strings into fixed-width fields, and the code page 932
// character rules the setup list needs.
#pragma once

#include <cstddef>

// Copies src into dst (width bytes, terminator included). Returns false when src did not fit;
// dst then holds the first width-1 bytes. Never writes past dst.
bool copy_bounded(char* dst, size_t width, const char* src);
// Appends src to the string in dst, within width bytes; false when it did not fit.
bool append_bounded(char* dst, size_t width, const char* src);
// Like copy_bounded, but a cut never leaves the first byte of a double-byte character behind.
bool copy_cut_cp932(char* dst, size_t width, const char* src);

// Lead bytes of code page 932 (Shift JIS): 0x81-0x9F and 0xE0-0xFC.
inline bool is_cp932_lead(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
