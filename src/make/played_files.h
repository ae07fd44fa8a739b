// The files of an update that look like what the game wrote while the publisher played NEW:
// saves, and settings written after every file the game came with.
#pragma once

#include <string>
#include <vector>

#include "disc_plan.h"
#include "tree_diff.h"

struct PlayedFile {
  std::string shown;  // as the summary names it
  std::string why;    // "in a save folder", "a save file", "settings written after ..."
};

// In copy order.
std::vector<PlayedFile> played_files(const TreeDiff& diff, const DiscPlan& plan);
