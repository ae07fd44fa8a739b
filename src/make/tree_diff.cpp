// The walk of OLD and NEW and the comparison of their files.
#include "tree_diff.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <system_error>

#include "disc/console.h"
#include "disc/names.h"
#include "disc/tree_scan.h"

namespace fs = std::filesystem;

namespace {

// Sizes are compared first, so only files of equal size are read.
bool same_bytes(const fs::path& a, const fs::path& b, bool* same, std::string* error) {
  std::ifstream in_a(a, std::ios::binary);
  std::ifstream in_b(b, std::ios::binary);
  if (!in_a || !in_b) {
    *error = "cannot read " + shown_path(!in_a ? a : b);
    return false;
  }
  std::vector<char> buf_a(1 << 16);
  std::vector<char> buf_b(buf_a.size());
  auto chunk = static_cast<std::streamsize>(buf_a.size());
  for (;;) {
    in_a.read(buf_a.data(), chunk);
    in_b.read(buf_b.data(), chunk);
    std::streamsize got = in_a.gcount();
    if (got != in_b.gcount() || !std::equal(buf_a.begin(), buf_a.begin() + got, buf_b.begin())) {
      *same = false;
      return true;
    }
    if (in_a.bad() || in_b.bad()) {
      *error = "cannot read " + shown_path(in_a.bad() ? a : b);
      return false;
    }
    if (got == 0 || in_a.eof()) break;
  }
  *same = in_b.peek() == std::char_traits<char>::eof();
  return true;
}

}  // namespace

std::string windows_key(const std::string& rel) {
  return name_key(rel, NameText::file_system);
}

bool diff_trees(const fs::path& old_root, const fs::path& new_root, TreeDiff* diff,
                std::string* error) {
  ScannedTree old_tree;
  ScannedTree new_tree;
  if (!scan_tree(old_root, &old_tree, error) || !scan_tree(new_root, &new_tree, error)) {
    return false;
  }
  std::map<std::string, const TreeFile*> old_files;
  for (const TreeFile& file : old_tree.files) {
    old_files.emplace(windows_key(file.rel), &file);
    diff->old_files.emplace(windows_key(file.rel), file.rel);
  }
  for (const std::string& folder : old_tree.folders)
    diff->old_folders.emplace(windows_key(folder), folder);

  std::set<std::string> matched;
  for (const TreeFile& scanned : new_tree.files) {
    diff->files.push_back(
        {scanned.rel, scanned.path, scanned.size, scanned.modified, Change::added, 0});
    NewFile& file = diff->files.back();
    auto old = old_files.find(windows_key(file.rel));
    if (old != old_files.end()) {
      matched.insert(old->first);
      file.old_size = old->second->size;
      bool same = false;
      if (file.size == file.old_size && !same_bytes(old->second->path, file.path, &same, error)) {
        return false;
      }
      file.change = same ? Change::unchanged : Change::changed;
      std::error_code ec_new;
      std::error_code ec_old;
      file.older = !same &&
                   written_clearly_after(fs::last_write_time(old->second->path, ec_old),
                                         fs::last_write_time(file.path, ec_new)) &&
                   !ec_new && !ec_old;
    }
  }
  for (const TreeFile& file : old_tree.files) {
    if (matched.count(windows_key(file.rel)) == 0) diff->only_in_old.push_back(file.rel);
  }
  std::set<std::string> new_keys;
  for (const NewFile& file : diff->files)
    new_keys.insert(windows_key(file.rel));
  for (const std::string& folder : new_tree.folders)
    new_keys.insert(windows_key(folder));
  for (const std::string& other : old_tree.others) {
    bool clashes = new_keys.count(windows_key(other)) != 0;
    (clashes ? diff->old_clashes : diff->old_others).push_back(other);
  }
  diff->new_folders = std::move(new_tree.folders);
  diff->skipped = std::move(new_tree.others);
  return true;
}
