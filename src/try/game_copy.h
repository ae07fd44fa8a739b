// The copy of the game folder a run updates: made whole from GAME_DIR, which is only read.
#pragma once

#include <filesystem>
#include <string>

// Copies the folder's files with their attributes (read-only, hidden, system) and times, and its
// folders, into to, which must not exist. A link (a junction or a symbolic link) is copied as
// what it leads to when that lies inside the folder; one that leads outside it, or to a folder
// that holds it, is refused: the updater would write through it, beyond the copy. False, with why
// in *error. Stops at an interrupt.
bool copy_game(const std::filesystem::path& from, const std::filesystem::path& to,
               std::string* error);

// Whether the full path a lies in the full path b or is b, without regard to case, as Windows
// compares names.
bool path_lies_in(const std::wstring& a, const std::wstring& b);
