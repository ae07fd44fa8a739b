// What an update disc would do to one installed game, entry by entry, exactly as the updater
// would do it, and whether the copy fits in the room left on the game's filesystem.
#pragma once

#include <string>
#include <vector>

#include "list_hints.h"
#include "report.h"

// Fills the report's entries and space. stops: the list is over a limit of the updater, which
// then copies nothing.
void preview_against(const std::string& game_dir, const std::vector<ListedFile>& files, bool stops,
                     CheckReport* report);
