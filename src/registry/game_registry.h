// Finding the installed game folder: the GAMEPATH value of the game's key under
// HKEY_CURRENT_USER.
#pragma once

// Fills destination (1,024 bytes) with the data of GAMEPATH, or leaves it empty. Opening the key
// creates it, empty, when it is missing; nothing is ever written into it.
void read_game_registry(const char* key_path, char* destination);
