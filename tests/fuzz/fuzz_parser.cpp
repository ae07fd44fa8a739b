// Any bytes as the setup list: the parse must never write past a field or a table, never read
// past a line, and always end.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "setuplist/setup_parser.h"
#include "setuplist/setup_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (file == nullptr) return 0;  // fmemopen refuses an empty buffer
  SetupRecord = kSetupDefaults;
  SetupHooks = SetupListHooks{};
  SetupListFile = file;
  parse_setup_list();
  SetupListFile = nullptr;
  (void)fclose(file);

  // Every field and table entry is still terminated within its width.
  if (memchr(SetupRecord.TITLE, 0, kTitleWidth) == nullptr) __builtin_trap();
  if (memchr(SetupRecord.PATH, 0, kPathWidth) == nullptr) __builtin_trap();
  if (memchr(SetupRecord.REG_KEY, 0, kRegWidth) == nullptr) __builtin_trap();
  if (TypeTable.type_count > kTypeCapacity || FileTable.file_count > kFileCapacity) {
    __builtin_trap();
  }
  for (int i = 0; i < FileTable.file_count; ++i) {
    if (memchr(FileTable.file_name[i], 0, kFileNameWidth) == nullptr) __builtin_trap();
  }
  return 0;
}
