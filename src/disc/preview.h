// What an update disc would do to one installed game, entry by entry, exactly as the updater
// would do it, and whether the copy fits in the room left on the game's filesystem.
#pragma once

#include <vector>

#include "game_folder.h"
#include "list_hints.h"
#include "plan/copy_plan.h"
#include "report.h"

// Fills the report's entries and space from the copy planned against game. stops: the list is
// over a limit of the updater, which then copies nothing.
void preview_against(GameFolder* game, const CopyPlan& plan, const std::vector<ListedFile>& files,
                     bool stops, CheckReport* report);
