// The game folder on this machine; see game_folder.h. Windows compares names without regard to
// case by itself; on Linux a game folder made by Wine (or copied from Windows) is read the way
// Wine reads it: each part of a name is looked up as it is, then among the folder's names
// without regard to case, and the DOS attributes come from the file's mode and the extended
// attribute in which Wine keeps them.
#include "game_folder.h"

#include <algorithm>
#include <cstdio>

#include "cp932_text.h"

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
// that differ from it only in letter case.
bool GameFolder::find_part(const std::string& dir, const std::string& part, std::string* found) {
  if (path_facts(dir + "/" + part).exists) {
    *found = part;
    return true;
  }
  auto [listing, fresh] = listings_.try_emplace(dir);
  if (fresh) {
    for (const std::string& name : folder_names(dir)) {
      std::string& first = listing->second[upper_case_utf8(name)];
      if (first.empty() || name < first) first = name;
    }
  }
  auto hit = listing->second.find(upper_case_utf8(part));
  if (hit == listing->second.end()) return false;
  *found = hit->second;
  return true;
}

GameItem GameFolder::look_up(const std::string& name) {
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
  item.read_only = facts.read_only;
  // Wine hides a Unix name that starts with a dot.
  item.dot_name = !kCaseBlindFileNames && !last.empty() && last[0] == '.';
  item.hidden = facts.hidden || item.dot_name;
  item.system = facts.system;
  item.native = path;
  return item;
}

bool is_folder(const std::string& path) {
  PathFacts facts = path_facts(path);
  return facts.exists && facts.folder;
}
