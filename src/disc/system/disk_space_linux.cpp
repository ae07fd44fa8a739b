// The Linux half of disk_space.h: statvfs.
#include "disk_space.h"

#include <sys/statvfs.h>

DiskSpace disk_space_of(const std::string& dir) {
  DiskSpace space;
  struct statvfs info;
  if (statvfs(dir.c_str(), &info) != 0) return space;
  uint64_t block = info.f_frsize != 0 ? info.f_frsize : info.f_bsize;
  space.known = true;
  space.free = static_cast<uint64_t>(info.f_bavail) * block;
  space.cluster_size = block;
  return space;
}
