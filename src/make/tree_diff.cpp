// The walk of OLD and NEW and the comparison of their files.
#include "tree_diff.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <system_error>

namespace fs = std::filesystem;

namespace {

struct Tree {
  std::vector<NewFile> files;
  std::vector<std::string> folders;
  std::vector<std::string> skipped;
};

std::string shown(const fs::path& path) {
  return path.u8string();
}

std::string fail(const fs::path& path, const std::error_code& ec) {
  return "cannot read " + shown(path) + ": " + ec.message();
}

// A symbolic link counts as what it points to, as a copy would take it; a link to a folder is not
// followed (it could lead in a circle) and is named among the skipped entries.
bool scan_tree(const fs::path& root, Tree* tree, std::string* error) {
  std::error_code ec;
  fs::recursive_directory_iterator it(root, ec);
  for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    const fs::directory_entry& entry = *it;
    // Lexical: relative() would follow a link and name the file it points to.
    std::string rel = entry.path().lexically_relative(root).generic_u8string();
    fs::file_status status = entry.status(ec);
    if (ec && !entry.is_symlink()) break;
    ec.clear();
    if (fs::is_directory(status) && !entry.is_symlink()) {
      tree->folders.push_back(rel);
    } else if (fs::is_regular_file(status)) {
      uint64_t size = entry.file_size(ec);
      if (ec) break;
      tree->files.push_back({rel, entry.path(), size, Change::added, 0});
    } else {
      tree->skipped.push_back(rel);
    }
  }
  if (ec) {
    *error = fail(it == fs::recursive_directory_iterator() ? root : it->path(), ec);
    return false;
  }
  auto by_rel = [](const NewFile& a, const NewFile& b) { return a.rel < b.rel; };
  std::sort(tree->files.begin(), tree->files.end(), by_rel);
  std::sort(tree->folders.begin(), tree->folders.end());
  std::sort(tree->skipped.begin(), tree->skipped.end());
  return true;
}

// Sizes are compared first, so only files of equal size are read.
bool same_bytes(const fs::path& a, const fs::path& b, bool* same, std::string* error) {
  std::ifstream in_a(a, std::ios::binary);
  std::ifstream in_b(b, std::ios::binary);
  if (!in_a || !in_b) {
    *error = "cannot read " + shown(!in_a ? a : b);
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
      *error = "cannot read " + shown(in_a.bad() ? a : b);
      return false;
    }
    if (got == 0 || in_a.eof()) break;
  }
  *same = in_b.peek() == std::char_traits<char>::eof();
  return true;
}

}  // namespace

std::string windows_key(const std::string& rel) {
  std::string key = rel;
  for (char& c : key) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c == '\\') c = '/';
  }
  return key;
}

bool diff_trees(const fs::path& old_root, const fs::path& new_root, TreeDiff* diff,
                std::string* error) {
  Tree old_tree;
  Tree new_tree;
  if (!scan_tree(old_root, &old_tree, error) || !scan_tree(new_root, &new_tree, error)) {
    return false;
  }
  std::map<std::string, const NewFile*> old_files;
  for (const NewFile& file : old_tree.files) {
    old_files.emplace(windows_key(file.rel), &file);
    diff->old_file_keys.insert(windows_key(file.rel));
  }
  for (const std::string& folder : old_tree.folders)
    diff->old_folder_keys.insert(windows_key(folder));

  std::set<std::string> matched;
  for (NewFile& file : new_tree.files) {
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
      file.older =
          !same &&
          fs::last_write_time(file.path, ec_new) < fs::last_write_time(old->second->path, ec_old) &&
          !ec_new && !ec_old;
    }
  }
  for (const NewFile& file : old_tree.files) {
    if (matched.count(windows_key(file.rel)) == 0) diff->only_in_old.push_back(file.rel);
  }
  diff->files = std::move(new_tree.files);
  diff->new_folders = std::move(new_tree.folders);
  diff->skipped = std::move(new_tree.skipped);
  return true;
}
