// The updater's copy plan of a list against a game folder on this machine: the publisher's tools'
// view of the game (GameFolder) and of the medium (each file's source as found).
#pragma once

#include <vector>

#include "game_folder.h"
#include "list_hints.h"
#include "plan/copy_plan.h"

// Plans the copy of the list the parse left in FileTable (files holds each entry's facts, in
// table order). game: the game folder; nullptr for a game that has none of the list's files or
// folders, as in a fresh folder.
void plan_against(GameFolder* game, const std::vector<ListedFile>& files, CopyPlan* plan);
