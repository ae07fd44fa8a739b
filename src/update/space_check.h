// Whether the game folder's drive can take the update, measured before the first copy, so that
// a disc that cannot fit stops with nothing copied instead of failing file after file.
#pragma once

#include <cstdint>

#include "plan/space_needed.h"

struct DiskRoom {
  uint64_t needed;     // the most the copies ever add to the drive, in whole clusters
  uint64_t available;  // the bytes the drive has for this user
};

// Measures the room of DestinationPath's drive against the copies of UpdatePlan (a game file the
// copy keeps counts nothing; a name listed again replaces its own earlier copy). False when the
// free space cannot be read at all.
bool measure_disk_room(DiskRoom* room);
