// The folders a list's files need in the game; see folder_plan.h.
#include "folder_plan.h"

#include <set>

std::string folder_key(const std::string& folder) {
  return game_name_key(folder);
}

std::vector<std::string> folders_needed(const std::vector<std::string>& names) {
  std::set<std::string> made;  // keys of the folders there once the earlier files are copied
  std::vector<std::string> needed;
  needed.reserve(names.size());
  for (const std::string& name : names) {
    std::string folder = folder_of(name);
    std::string parent = folder_of(folder);
    std::string parent_key = folder_key(parent);
    bool enough = parent_key.empty() || made.count(parent_key) != 0;
    needed.push_back(enough ? std::string() : parent);
    // The folder is there afterwards, and so is every folder above it.
    for (std::string f = folder; !f.empty(); f = folder_of(f))
      made.insert(folder_key(f));
  }
  return needed;
}
