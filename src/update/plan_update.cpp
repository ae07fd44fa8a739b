// The updater's view of the game folder and the medium: the system's file functions on the paths
// the copy step forms.
#include "plan_update.h"

#include "plan/copy_paths.h"
#include "plan/copy_selection.h"
#include "plan/update_state.h"
#include "platform/win32.h"
#include "setuplist/setup_record.h"

namespace {

struct Medium {
  char source_base[1024];
};

bool attributes_of(const char* path, WIN32_FILE_ATTRIBUTE_DATA* info) {
  return GetFileAttributesExA(path, GetFileExInfoStandard, info) != FALSE;
}

uint64_t size_of(const WIN32_FILE_ATTRIBUTE_DATA& info) {
  return (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

GameEntry game_entry(void*, const char* name) {
  CopyPaths paths;
  compose_copy_paths("", "", DestinationPath, name, &paths);
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!attributes_of(paths.destination, &info))
    return GameEntry{false, false, 0, false, false, false};
  DWORD a = info.dwFileAttributes;
  return GameEntry{true,
                   (a & FILE_ATTRIBUTE_DIRECTORY) != 0,
                   size_of(info),
                   (a & FILE_ATTRIBUTE_READONLY) != 0,
                   (a & FILE_ATTRIBUTE_HIDDEN) != 0,
                   (a & FILE_ATTRIBUTE_SYSTEM) != 0};
}

bool source_size(void* context, int32_t entry, uint64_t* size) {
  const auto* medium = static_cast<const Medium*>(context);
  CopyPaths paths;
  compose_copy_paths(medium->source_base, SetupRecord.PATH, "", FileTable.file_name[entry], &paths);
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!attributes_of(paths.source, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return false;
  }
  *size = size_of(info);
  return true;
}

}  // namespace

void plan_update() {
  Medium medium;
  medium.source_base[0] = '\0';
  GetCurrentDirectoryA(512, medium.source_base);  // as the copy step reads it
  GameView view{&medium, game_entry, source_size, DestinationPath};
  plan_copy(FileTable, kCopiedTypesMask, view, &UpdatePlan);
}
