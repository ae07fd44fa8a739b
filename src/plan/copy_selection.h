// Which entries of the file table the copy takes, and in what order: every entry whose type mask
// shares a bit with the copy's mask, in list order, each once. The copy plan is made of them, and
// the copy takes them from the plan.
#pragma once

#include <cstdint>

#include "setuplist/setup_record.h"

constexpr uint32_t kCopiedTypesMask = 255;  // the first eight install types

// Whether the copy takes an entry of this type mask; whether it takes the files of type index.
constexpr bool is_copied_mask(uint32_t type_mask) {
  return (type_mask & kCopiedTypesMask) != 0;
}
constexpr bool is_copied_type(int index) {
  return index >= 0 && index < 32 && is_copied_mask(1u << index);
}

// The selection: the first entry at or after *cursor whose type mask shares a bit with mask,
// with *cursor moved past it; -1 when none is left (*cursor is then files.file_count).
int32_t next_selected_entry(const FileList& files, uint32_t mask, int32_t* cursor);

extern int32_t CopyCursor;  // index of the next entry to examine; it only grows
extern uint32_t CopyMask;   // kCopiedTypesMask from the copy's start

// Copies the file_name of the next step of UpdatePlan, the first whose entry is CopyCursor or
// later and shares a bit with CopyMask, into name_out (1,024 bytes) and returns 0; returns 1 when
// no step is left.
int next_copy_file(char* name_out);
