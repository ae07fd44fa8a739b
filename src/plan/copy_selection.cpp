// Selection of the files to copy.
#include "copy_selection.h"

#include "setuplist/setup_record.h"
#include "setuplist/text.h"

int32_t CopyCursor = 0;
uint32_t CopyMask = 255;

int next_copy_file(char* name_out) {
  while (CopyCursor < FileTable.file_count) {
    int32_t entry = CopyCursor++;
    if ((FileTable.type_mask[entry] & CopyMask) != 0) {
      copy_bounded(name_out, 1024, FileTable.file_name[entry]);
      return 0;
    }
  }
  return 1;
}
