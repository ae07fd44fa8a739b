// The process-wide setup record, its built-in defaults, and the writes the parser makes.
#include "setup_record.h"

#include <cstring>

#include "text.h"

const SetupFields kSetupDefaults = {
    "Titleだよ", "Titleだよ",  "GAME", "Software\\TALLOWMERE\\GAME",
    "Software",  "TALLOWMERE", "GAME",
};

SetupFields SetupRecord = kSetupDefaults;
TypeList TypeTable;
FileList FileTable;

uint32_t type_mask_of(int32_t type) {
  return 1u << (static_cast<uint32_t>(type) & 31u);
}

void reset_tables() {
  TypeTable.type_count = 0;
  FileTable.file_count = 0;
  for (int i = 0; i < kFileCapacity; ++i) {
    FileTable.file_name[i][0] = '\0';
    FileTable.type_mask[i] = 0;
  }
}

void append_type_name(const char* line) {
  // The parser refuses a longer name; the cut only keeps the field's terminator.
  copy_cut_cp932(TypeTable.type_name[TypeTable.type_count], kTypeNameWidth, line);
  ++TypeTable.type_count;
}

void append_file(const char* line, int32_t type) {
  copy_bounded(FileTable.file_name[FileTable.file_count], kFileNameWidth, line);
  FileTable.type_mask[FileTable.file_count] = type_mask_of(type);
  ++FileTable.file_count;
}

bool compose_reg_key() {
  char* out = SetupRecord.REG_KEY;
  bool fits = copy_bounded(out, kRegWidth, SetupRecord.REG_P);
  fits = append_bounded(out, kRegWidth, "\\") && fits;
  fits = append_bounded(out, kRegWidth, SetupRecord.REG_S) && fits;
  fits = append_bounded(out, kRegWidth, "\\") && fits;
  fits = append_bounded(out, kRegWidth, SetupRecord.REG_T) && fits;
  return fits;
}
