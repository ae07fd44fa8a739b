// What a game writes while it is played: saves and settings that belong to each player and that
// an update must never carry over theirs. One table, read by both publisher's tools.
#pragma once

#include <string_view>

enum class PlayerData {
  none,
  save_folder,  // below a folder such as save or SaveData
  save_file,    // a save file such as data01.sav or slot.sv1
  settings,     // settings the game rewrites while it runs: config.ini, *.cfg
};

// What a file's name says it is. name: UTF-8, levels separated by '/' or '\', letters in any
// case (Windows takes SAVE and save for one folder).
PlayerData player_data_kind(std::string_view name);

// Whether a file of that kind is a player's data. A save is one whatever its time; settings are
// one only when something shows the game wrote them while it ran (written_while_played), since a
// game also ships its first settings.
bool is_player_data(PlayerData kind, bool written_while_played);

// The kind in a few words for a message: "in a save folder", "a save file", "settings".
const char* player_data_label(PlayerData kind);
