// The game folder on this machine; see game_folder.h. Windows compares names without regard to
// case by itself; on Linux a game folder made by Wine (or copied from Windows) is read the way
// Windows would find it: each part of a name is looked up as it is, then among the folder's names
// by the name identity (name_key), and the DOS attributes come from the file's mode and the
// extended attribute in which Wine keeps them.
#include "game_folder.h"

#include <algorithm>
#include <cstdio>

#include "cp932_text.h"
#include "system/file_queries.h"
#include "system/files.h"
#include "system/paths.h"

bool same_contents(const std::string& a, const std::string& b) {
  FILE* fa = open_file(a, "rb");
  FILE* fb = fa != nullptr ? open_file(b, "rb") : nullptr;
  bool same = fb != nullptr;
  while (same) {
    char ba[16384];
    char bb[sizeof ba];
    size_t na = fread(ba, 1, sizeof ba, fa);
    size_t nb = fread(bb, 1, sizeof bb, fb);
    same = na == nb && std::equal(ba, ba + na, bb);
    if (na < sizeof ba) {
      same = same && ferror(fa) == 0 && ferror(fb) == 0;
      break;
    }
  }
  if (fb != nullptr) (void)fclose(fb);  // read only: nothing to lose
  if (fa != nullptr) (void)fclose(fa);
  return same;
}

// A game folder's path and a name from the list (UTF-8), joined as the updater joins them.
std::string joined(const std::string& dir, const std::string& name) {
  if (name.empty()) return dir;
  bool separated = !dir.empty() && (is_path_separator(dir.back()) || dir.back() == ':');
  return dir + (separated ? "" : "\\") + name;
}

// The name of part in dir: itself when it is there, else the first (in byte order) of the names
// that Windows takes for it: in other letter case, or stored decomposed (as some systems and
// archivers store kana with a voicing mark), which the disc's name is not.
bool GameFolder::find_part(const std::string& dir, const std::string& part, std::string* found) {
  if (path_facts(dir + "/" + part).exists) {
    *found = part;
    return true;
  }
  auto [listing, fresh] = listings_.try_emplace(dir);
  if (fresh) {
    for (const std::string& name : folder_names(dir)) {
      std::string& first = listing->second[name_key(name, NameText::file_system)];
      if (first.empty() || name < first) first = name;
    }
  }
  auto hit = listing->second.find(name_key(part, NameText::utf8));
  if (hit == listing->second.end()) return false;
  *found = hit->second;
  return true;
}

const GameItem& GameFolder::look_up(const std::string& name) {
  auto [it, fresh] = items_.try_emplace(game_name_key(name));
  if (fresh) it->second = find(name);
  return it->second;
}

GameItem GameFolder::find(const std::string& name) {
  GameItem item;
  std::string path;
  std::string last;
  if (kCaseBlindFileNames) {
    // The file system finds the name as the updater's copy will.
    path = joined(dir_, cp932_to_utf8(name));
  } else {
    path = dir_;
    for (const std::string& part : name_parts(name)) {
      if (!find_part(path, cp932_to_utf8(part), &last)) return item;
      path += "/" + last;
    }
  }
  PathFacts facts = path_facts(path);
  if (!facts.exists) return item;
  item.kind = facts.folder ? GameItem::Kind::folder : GameItem::Kind::file;
  item.size = facts.size;
  bool as_found = reading_ == GameReading::as_found;
  item.read_only_here = facts.read_only;
  item.read_only = facts.read_only && as_found;
  // Wine hides a Unix name that starts with a dot.
  item.dot_name = as_found && !kCaseBlindFileNames && !last.empty() && last[0] == '.';
  item.hidden = facts.hidden || item.dot_name;
  item.system = facts.system;
  item.native = path;
  return item;
}

bool is_folder(const std::string& path) {
  PathFacts facts = path_facts(path);
  return facts.exists && facts.folder;
}
