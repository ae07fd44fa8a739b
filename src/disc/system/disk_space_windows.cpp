// The Windows half of disk_space.h: GetDiskFreeSpaceExW, and the volume's clusters.
#include "disk_space.h"

#include "wide_text_windows.h"

DiskSpace disk_space_of(const std::string& dir) {
  DiskSpace space;
  std::wstring wide = widen(dir);
  ULARGE_INTEGER available;
  if (!GetDiskFreeSpaceExW(wide.c_str(), &available, nullptr, nullptr)) return space;
  space.known = true;
  space.free = available.QuadPart;
  // GetDiskFreeSpaceW wants the root of the volume (with its backslash) on older systems.
  wchar_t root[MAX_PATH];
  DWORD sectors_per_cluster;
  DWORD bytes_per_sector;
  DWORD free_clusters;
  DWORD clusters;
  if (GetVolumePathNameW(wide.c_str(), root, MAX_PATH) &&
      GetDiskFreeSpaceW(root, &sectors_per_cluster, &bytes_per_sector, &free_clusters, &clusters)) {
    space.cluster_size = static_cast<uint64_t>(sectors_per_cluster) * bytes_per_sector;
  }
  return space;
}
