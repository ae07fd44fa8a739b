// The room the update needs on the game's drive, against what the drive has.
#include "space_check.h"

#include "plan/dbcs.h"
#include "plan/update_state.h"
#include "platform/win32.h"
#include "setuplist/text.h"

namespace {

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

bool measure_disk_room(DiskRoom* room) {
  char folder[kDestinationWidth + 1];
  copy_bounded(folder, sizeof folder, DestinationPath);
  if (!ends_with_backslash_char(folder)) append_bounded(folder, sizeof folder, "\\");
  ULARGE_INTEGER available;
  if (!GetDiskFreeSpaceExA(folder, &available, nullptr, nullptr)) return false;

  room->needed = plan_space_needed(UpdatePlan, cluster_size(folder));
  room->available = available.QuadPart;
  return true;
}
