// The folders a list's files need in the game, as the updater makes them: for each file it
// creates only the innermost folder of the file's name, and only when that folder's parent is
// there already. A file two new levels down therefore needs an earlier file in the level between,
// or that level in the game already. Shared by update-check and update-make.
#pragma once

#include <string>
#include <vector>

#include "names.h"

// A folder of a name from the list (code page 932 bytes), as Windows compares it: '/' and '\'
// alike, empty and "." parts dropped, letters without regard to case (game_name_key).
std::string folder_key(const std::string& folder);

// For each name, in copy order: the folder that must already be in the game so that the file's
// own folder can be made (the parent of that folder), or empty when the game folder itself or
// the folder of an earlier file is enough.
std::vector<std::string> folders_needed(const std::vector<std::string>& names);
