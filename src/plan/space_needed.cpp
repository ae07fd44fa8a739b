// The room an update takes on the game's drive; see space_needed.h.
#include "space_needed.h"

uint64_t cluster_bytes(uint64_t size, uint64_t cluster_size) {
  if (cluster_size == 0 || size % cluster_size == 0) return size;
  return size + (cluster_size - size % cluster_size);
}

uint64_t peak_space_needed(const PlannedCopy* copies, int count, uint64_t cluster_size) {
  // Growth may go below zero when files shrink; the sizes of a game never reach 2^63 bytes.
  int64_t growth = 0;
  int64_t peak = 0;
  for (int i = 0; i < count; ++i) {
    auto added = static_cast<int64_t>(cluster_bytes(copies[i].source_size, cluster_size));
    auto freed = static_cast<int64_t>(cluster_bytes(copies[i].replaced_size, cluster_size));
    if (growth + added > peak) peak = growth + added;
    growth += added - freed;
  }
  return static_cast<uint64_t>(peak);
}
