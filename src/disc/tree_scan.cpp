// The walk of a folder's tree; see tree_scan.h.
#include "tree_scan.h"

#include <algorithm>
#include <system_error>

#include "console.h"
#include "system.h"

namespace fs = std::filesystem;

namespace {

struct Walk {
  ScannedTree* tree;
  std::vector<fs::path> open;  // the folders being walked, the root first: a link to one loops
  std::string* error;
};

bool fail(Walk* walk, const std::string& text) {
  *walk->error = text;
  return false;
}

bool leads_back(const Walk& walk, const fs::path& folder, fs::path* ancestor) {
  for (const fs::path& open : walk.open) {
    std::error_code ec;
    if (fs::equivalent(folder, open, ec)) {
      *ancestor = open;
      return true;
    }
  }
  return false;
}

bool walk_folder(Walk* walk, const fs::path& dir, const std::string& prefix) {
  std::error_code ec;
  fs::directory_iterator it(dir, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const fs::path& path = it->path();
    // Composed, as the name goes on the disc; the file is still read under its own name.
    std::string rel = prefix + compose_name(path.filename().u8string());
    std::error_code status_ec;
    fs::file_status status = fs::status(path, status_ec);  // through every link
    bool link = it->is_symlink(status_ec);
    if (fs::is_directory(status)) {
      // Every folder is asked: Wine shows a link to a folder as a plain folder.
      fs::path ancestor;
      if (leads_back(*walk, path, &ancestor)) {
        return fail(walk, std::string(link ? "the link " : "") + shown_path(path) +
                              " leads back to " + shown_path(ancestor) +
                              ", a folder it lies in: a loop that a copy would follow forever");
      }
      walk->tree->folders.push_back(rel);
      walk->open.push_back(path);
      if (!walk_folder(walk, path, rel + "/")) return false;
      walk->open.pop_back();
    } else if (fs::is_regular_file(status)) {
      uint64_t size = fs::file_size(path, status_ec);
      fs::file_time_type modified;
      if (!status_ec) modified = fs::last_write_time(path, status_ec);
      if (status_ec) {
        return fail(walk, "cannot read " + shown_path(path) + ": " + status_ec.message());
      }
      walk->tree->files.push_back({rel, path, size, modified});
    } else if (status_ec && !link) {
      return fail(walk, "cannot read " + shown_path(path) + ": " + status_ec.message());
    } else {
      walk->tree->others.push_back(rel);
    }
  }
  if (ec) return fail(walk, "cannot read the folder " + shown_path(dir) + ": " + ec.message());
  return true;
}

}  // namespace

bool scan_tree(const fs::path& root, ScannedTree* tree, std::string* error) {
  Walk walk{tree, {root}, error};
  if (!walk_folder(&walk, root, "")) return false;
  auto by_rel = [](const TreeFile& a, const TreeFile& b) { return a.rel < b.rel; };
  std::sort(tree->files.begin(), tree->files.end(), by_rel);
  std::sort(tree->folders.begin(), tree->folders.end());
  std::sort(tree->others.begin(), tree->others.end());
  return true;
}

bool written_clearly_after(fs::file_time_type later, fs::file_time_type earlier) {
  return later - earlier > std::chrono::seconds(2);
}
