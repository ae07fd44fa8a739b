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
#include "system.h"

struct GameItem {
  enum class Kind { missing, file, folder };
  Kind kind = Kind::missing;
  uint64_t size = 0;
  bool read_only = false;
  bool hidden = false;
  bool system = false;
  bool dot_name = false;  // hidden because Wine hides a Unix name that starts with a dot
  std::string native;     // its path, when it is there
};

// The game folder, read (never written) while one report is made.
class GameFolder {
 public:
  explicit GameFolder(std::string dir) : dir_(std::move(dir)) {}

  // name is a path from the list (code page 932, '\' or '/' between folders); an empty name is
  // the game folder itself.
  GameItem look_up(const std::string& name);

 private:
  std::string dir_;
  bool find_part(const std::string& dir, const std::string& part, std::string* found);

  // Each folder's names by their capitals, read once: a game folder may hold thousands of files.
  std::map<std::string, std::map<std::string, std::string>> listings_;
};

bool is_folder(const std::string& path);

// Whether two files hold the same bytes.
bool same_contents(const std::string& a, const std::string& b);
