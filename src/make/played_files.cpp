// Players' data among the files an update carries, by the tools' one table.
#include "played_files.h"

#include <optional>

#include "disc/player_data.h"
#include "disc/tree_scan.h"

namespace {

using Time = std::filesystem::file_time_type;

// The newest file of NEW that is the game's own by its name: a game writes its settings when it
// runs, after it was installed, so settings written after it were written by playing.
std::optional<Time> newest_game_file(const TreeDiff& diff) {
  std::optional<Time> newest;
  for (const NewFile& file : diff.files) {
    if (player_data_kind(file.rel) != PlayerData::none) continue;
    if (!newest || file.modified > *newest) newest = file.modified;
  }
  return newest;
}

}  // namespace

std::vector<PlayedFile> played_files(const TreeDiff& diff, const DiscPlan& plan) {
  std::optional<Time> newest = newest_game_file(diff);
  std::vector<PlayedFile> played;
  for (const DiscEntry& entry : plan.entries) {
    PlayerData kind = player_data_kind(entry.file->rel);
    // Settings alone in NEW have nothing to be newer than: they are taken for the game's own.
    bool while_played = newest && written_clearly_after(entry.file->modified, *newest);
    if (!is_player_data(kind, while_played)) continue;
    played.push_back({entry.shown, kind == PlayerData::settings
                                       ? "settings written after every other file of NEW"
                                       : player_data_label(kind)});
  }
  return played;
}
