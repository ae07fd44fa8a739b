// The folders a list's files need in the game; see folder_plan.h.
#include "folder_plan.h"

#include <set>

#include "game_folder.h"
#include "setuplist/text.h"

namespace {

bool is_separator(char c) {
  return c == '\\' || c == '/';
}

// Offset just past the last separator of s, read by whole characters; 0 when there is none.
size_t after_last_separator(const std::string& s) {
  size_t end = 0;
  for (size_t i = 0; i < s.size();) {
    if (is_cp932_lead(static_cast<unsigned char>(s[i]))) {
      i += 2;
      continue;
    }
    if (is_separator(s[i])) end = i + 1;
    ++i;
  }
  return end;
}

std::string without_last_separator(std::string s, size_t end) {
  s.resize(end);
  if (!s.empty()) s.pop_back();
  return s;
}

}  // namespace

std::string folder_key(const std::string& folder) {
  return game_name_key(folder);
}

std::string folder_of(const std::string& name) {
  return without_last_separator(name, after_last_separator(name));
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
