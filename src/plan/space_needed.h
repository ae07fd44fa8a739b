// How much room an update takes on the game's drive at its fullest. The copy puts each new file
// beside the old one and replaces the old one only when the new one is complete, so at the worst
// moment the drive holds what was copied so far, the game files not yet replaced and one whole
// new file. The updater checks this before its first copy; update-check reports it.
#pragma once

#include <cstdint>

struct PlannedCopy {
  uint64_t source_size;    // bytes of the new file; 0 when it will not be copied
  uint64_t replaced_size;  // bytes of the game file it replaces; 0 when there is none
};

// The cluster size taken when the drive doesn't say: NTFS's default for volumes up to 16 TB.
constexpr uint64_t kUsualClusterSize = 4096;

// size rounded up to whole clusters; a cluster size of 0 counts bytes.
uint64_t cluster_bytes(uint64_t size, uint64_t cluster_size);

// The most that the copies, made in this order, ever add to the drive, in whole clusters: while
// file i is copied its new bytes and the old file are both there; once it is in place the old
// one is gone. 0 when the copies only shrink the game.
uint64_t peak_space_needed(const PlannedCopy* copies, int count, uint64_t cluster_size);
