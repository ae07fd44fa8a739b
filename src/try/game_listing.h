// The game's copy, file by file: names, sizes, the read-only flag, the file index and an MD5 of
// the bytes, for the listings before and after the run.
#pragma once

#include <filesystem>

#include "listing.h"

// Stops at an interrupt; a file that can't be read is listed with an MD5 of "unreadable".
Listing list_game(const std::filesystem::path& folder);
