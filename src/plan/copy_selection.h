// Which entries of the file table the copy takes, and in what order: every entry whose type mask
// shares a bit with CopyMask, in list order, each once.
#pragma once

#include <cstdint>

constexpr uint32_t kCopiedTypesMask = 255;  // the first eight install types

// Whether the copy takes an entry of this type mask; whether it takes the files of type index.
constexpr bool is_copied_mask(uint32_t type_mask) {
  return (type_mask & kCopiedTypesMask) != 0;
}
constexpr bool is_copied_type(int index) {
  return index >= 0 && index < 32 && is_copied_mask(1u << index);
}

extern int32_t CopyCursor;  // index of the next entry to examine; it only grows
extern uint32_t CopyMask;   // kCopiedTypesMask from the copy's start

// Copies the next selected file_name into name_out (1,024 bytes) and returns 0; returns 1 when
// no selected entry is left.
int next_copy_file(char* name_out);
