// The room the update needs on the game's drive, against what the drive has.
#include "space_check.h"

#include "plan/copy_paths.h"
#include "plan/copy_selection.h"
#include "plan/dbcs.h"
#include "plan/file_names.h"
#include "plan/name_identity.h"
#include "platform/win32.h"
#include "safe_copy.h"
#include "setuplist/setup_record.h"
#include "setuplist/text.h"
#include "plan/update_state.h"

namespace {

struct PlanNote {
  int32_t entry;  // the FileTable entry of the copy
  bool source_exists;
  bool refused;
};

// False for a path that is missing or a folder.
bool file_size(const char* path, uint64_t* size) {
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!GetFileAttributesExA(path, GetFileExInfoStandard, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return false;
  }
  *size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  return true;
}

// The latest planned copy of the same game file, or -1.
int earlier_copy(const char* name, const PlanNote* notes, int count) {
  for (int i = count - 1; i >= 0; --i) {
    if (same_game_file(FileTable.file_name[notes[i].entry], name)) return i;
  }
  return -1;
}

// GetDiskFreeSpaceA: Windows NT and Wine take any folder with its trailing backslash, older
// Windows only the drive's root ("C:\").
uint64_t cluster_size(const char* folder) {
  DWORD sectors = 0;
  DWORD bytes = 0;
  DWORD free_clusters = 0;
  DWORD clusters = 0;
  const char root[] = {folder[0], ':', '\\', '\0'};
  if (GetDiskFreeSpaceA(folder, &sectors, &bytes, &free_clusters, &clusters) ||
      (folder[0] != '\0' && folder[1] == ':' &&
       GetDiskFreeSpaceA(root, &sectors, &bytes, &free_clusters, &clusters))) {
    uint64_t size = static_cast<uint64_t>(sectors) * bytes;
    if (size != 0) return size;
  }
  return kUsualClusterSize;
}

}  // namespace

int plan_copies(const char* source_base, PlannedCopy* copies) {
  PlanNote notes[kFileCapacity];
  int count = 0;
  for (int32_t entry = 0; entry < FileTable.file_count && count < kFileCapacity; ++entry) {
    const char* name = FileTable.file_name[entry];
    if (!is_copied_mask(FileTable.type_mask[entry]) || !is_safe_file_name(name)) continue;
    CopyPaths paths;
    compose_copy_paths(source_base, SetupRecord.PATH, DestinationPath, name, &paths);
    uint64_t source_size = 0;
    PlanNote note = {entry, paths.directory_fits && file_size(paths.source, &source_size), false};
    uint64_t replaced = 0;
    int earlier = earlier_copy(name, notes, count);
    if (earlier >= 0) {
      note.refused = notes[earlier].refused;
      replaced = notes[earlier].source_exists ? copies[earlier].source_size
                                              : copies[earlier].replaced_size;
    } else {
      note.refused = !can_replace(paths.destination);
      (void)file_size(paths.destination, &replaced);
    }
    copies[count] = note.refused ? PlannedCopy{0, 0} : PlannedCopy{source_size, replaced};
    notes[count++] = note;
  }
  return count;
}

bool measure_disk_room(DiskRoom* room) {
  char folder[kDestinationWidth + 1];
  copy_bounded(folder, sizeof folder, DestinationPath);
  if (!ends_with_backslash_char(folder)) append_bounded(folder, sizeof folder, "\\");
  ULARGE_INTEGER available;
  if (!GetDiskFreeSpaceExA(folder, &available, nullptr, nullptr)) return false;

  char source_base[1024] = "";
  GetCurrentDirectoryA(512, source_base);  // as the copy step reads it
  PlannedCopy copies[kFileCapacity];
  int count = plan_copies(source_base, copies);
  room->needed = peak_space_needed(copies, count, cluster_size(folder));
  room->available = available.QuadPart;
  return true;
}
