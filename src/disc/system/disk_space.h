// The room left on the file system that holds a folder.
#pragma once

#include <cstdint>
#include <string>

struct DiskSpace {
  bool known = false;
  uint64_t free = 0;          // bytes an ordinary user may still write
  uint64_t cluster_size = 0;  // the unit files take room in
};
DiskSpace disk_space_of(const std::string& dir);
