// An installed game's folder as the updater will find it: names looked up without regard to
// letter case, as Windows and Wine compare them; the attributes that make the updater keep a game
// file instead of replacing it; and the room left on the folder's filesystem.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "names.h"

struct GameItem {
  enum class Kind { missing, file, folder };
  Kind kind = Kind::missing;
  uint64_t size = 0;
  bool read_only = false;
  bool hidden = false;
  bool system = false;
  bool dot_name = false;        // hidden because Wine hides a Unix name that starts with a dot
  bool read_only_here = false;  // read-only in this folder, whatever read_only says
  std::string native;           // its path, when it is there
};

// How a game folder's attributes are read.
enum class GameReading {
  as_found,  // a test installation: each attribute as Windows or Wine would show it here
  // The game as players have it, of which this folder is a copy (update-make's OLD): a copy of
  // the previous disc is read-only where players' games may not be, and on Linux a name that
  // starts with a dot is hidden only to Wine. Neither counts; read_only_here still tells.
  as_players_have_it,
};

// The game folder, read (never written) while one report is made.
class GameFolder {
 public:
  explicit GameFolder(std::string dir, GameReading reading = GameReading::as_found)
      : dir_(std::move(dir)), reading_(reading) {}

  // name is a path from the list (code page 932, '\' or '/' between folders); an empty name is
  // the game folder itself. Each name is looked up once.
  const GameItem& look_up(const std::string& name);
  const std::string& folder() const { return dir_; }  // in the platform's bytes

 private:
  std::string dir_;
  GameReading reading_;
  GameItem find(const std::string& name);
  bool find_part(const std::string& dir, const std::string& part, std::string* found);
  std::map<std::string, GameItem> items_;  // by game_name_key

  // Each folder's names by their name_key, read once: a game folder may hold thousands of files.
  std::map<std::string, std::map<std::string, std::string>> listings_;
};

bool is_folder(const std::string& path);

// Whether two files hold the same bytes.
bool same_contents(const std::string& a, const std::string& b);
