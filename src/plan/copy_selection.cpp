// Selection of the files to copy.
#include "copy_selection.h"

#include "setuplist/text.h"
#include "update_state.h"

int32_t CopyCursor = 0;
uint32_t CopyMask = 255;

int32_t next_selected_entry(const FileList& files, uint32_t mask, int32_t* cursor) {
  while (*cursor < files.file_count) {
    int32_t entry = (*cursor)++;
    if ((files.type_mask[entry] & mask) != 0) return entry;
  }
  return -1;
}

int next_copy_file(char* name_out) {
  for (int32_t i = 0; i < UpdatePlan.step_count; ++i) {
    int32_t entry = UpdatePlan.steps[i].entry;
    if (entry < CopyCursor || (FileTable.type_mask[entry] & CopyMask) == 0) continue;
    CopyCursor = entry + 1;
    copy_bounded(name_out, 1024, FileTable.file_name[entry]);
    return 0;
  }
  if (CopyCursor < FileTable.file_count) CopyCursor = FileTable.file_count;
  return 1;
}
