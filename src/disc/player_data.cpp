// The table of players' data and its reading of a name.
#include "player_data.h"

#include <string>
#include <vector>

#include "names.h"

namespace {

struct Rule {
  const char* pattern;  // in capitals; '*' any run of characters at the start, '#' a digit
  PlayerData kind;
  bool folder;  // matches a folder level above the file, not the file's own name
};

// Kept short on purpose: a rule that matched a file the game ships would refuse a real update.
// *.sv# and not *.sv?: .svg is an image a game may ship.
const Rule kRules[] = {
    {"SAVE", PlayerData::save_folder, true},
    {"SAVES", PlayerData::save_folder, true},
    {"SAVEDATA", PlayerData::save_folder, true},
    {"SAVE_DATA", PlayerData::save_folder, true},
    {"SAVEGAME", PlayerData::save_folder, true},
    {"SAVEGAMES", PlayerData::save_folder, true},
    {"\xE3\x82\xBB\xE3\x83\xBC\xE3\x83\x96", PlayerData::save_folder, true},      // セーブ
    {"\xE3\x82\xBB\xE3\x83\xBC\xE3\x83\x96\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF",  // セーブデータ
     PlayerData::save_folder, true},
    {"*.SAV", PlayerData::save_file, false},
    {"*.SV#", PlayerData::save_file, false},
    {"CONFIG.INI", PlayerData::settings, false},
    {"*.CFG", PlayerData::settings, false},
};

bool matches(std::string_view pattern, std::string_view name) {
  if (!pattern.empty() && pattern[0] == '*') {
    pattern.remove_prefix(1);
    // A name that is only the ending (".cfg") is no file of that type.
    if (name.size() <= pattern.size()) return false;
    name.remove_prefix(name.size() - pattern.size());
  }
  if (name.size() != pattern.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    bool digit = name[i] >= '0' && name[i] <= '9';
    if (pattern[i] == '#' ? !digit : pattern[i] != name[i]) return false;
  }
  return true;
}

PlayerData match_level(const std::string& level, bool folder) {
  std::string upper = upper_case_utf8(level);
  for (const Rule& rule : kRules) {
    if (rule.folder == folder && matches(rule.pattern, upper)) return rule.kind;
  }
  return PlayerData::none;
}

}  // namespace

PlayerData player_data_kind(std::string_view name) {
  std::vector<std::string> parts = name_parts(name, NameText::utf8);
  if (parts.empty()) return PlayerData::none;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    if (match_level(parts[i], true) != PlayerData::none) return PlayerData::save_folder;
  }
  return match_level(parts.back(), false);
}

bool is_player_data(PlayerData kind, bool written_while_played) {
  return kind == PlayerData::save_folder || kind == PlayerData::save_file ||
         (kind == PlayerData::settings && written_while_played);
}

const char* player_data_label(PlayerData kind) {
  switch (kind) {
    case PlayerData::save_folder:
      return "in a save folder";
    case PlayerData::save_file:
      return "a save file";
    case PlayerData::settings:
      return "settings";
    case PlayerData::none:
      break;
  }
  return "";
}
