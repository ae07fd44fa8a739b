// The walk of a folder's tree; see tree_scan.h.
#include "tree_scan.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string shown(const fs::path& path) {
  return path.u8string();
}

std::string fail(const fs::path& path, const std::error_code& ec) {
  return "cannot read " + shown(path) + ": " + ec.message();
}

}  // namespace

// A symbolic link counts as what it points to, as a copy would take it; a link to a folder is not
// followed (it could lead in a circle) and is named among the other entries.
bool scan_tree(const fs::path& root, ScannedTree* tree, std::string* error) {
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
      tree->files.push_back({rel, entry.path(), size});
    } else {
      tree->others.push_back(rel);
    }
  }
  if (ec) {
    *error = fail(it == fs::recursive_directory_iterator() ? root : it->path(), ec);
    return false;
  }
  auto by_rel = [](const TreeFile& a, const TreeFile& b) { return a.rel < b.rel; };
  std::sort(tree->files.begin(), tree->files.end(), by_rel);
  std::sort(tree->folders.begin(), tree->folders.end());
  std::sort(tree->others.begin(), tree->others.end());
  return true;
}
