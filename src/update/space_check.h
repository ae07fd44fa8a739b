// Whether the game folder's drive can take the update, measured before the first copy, so that
// a disc that cannot fit stops with nothing copied instead of failing file after file.
#pragma once

#include <cstdint>

#include "plan/space_needed.h"

// The copies the copy step will make, in its order: the entries of the first eight types whose
// names stay inside the game folder, each with the size of its source under source_base (0 when
// missing: the copy reports it) and of the game file it replaces (0 when none; a name listed
// again replaces its own earlier copy). A game file the copy refuses counts 0 for both. Fills
// at most kFileCapacity entries and returns their count.
int plan_copies(const char* source_base, PlannedCopy* copies);

struct DiskRoom {
  uint64_t needed;     // the most the copies ever add to the drive, in whole clusters
  uint64_t available;  // the bytes the drive has for this user
};

// Measures the room of DestinationPath's drive against the copies of the list. False when the
// free space cannot be read at all.
bool measure_disk_room(DiskRoom* room);
