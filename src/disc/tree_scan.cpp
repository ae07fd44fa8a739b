// The walk of a folder's tree; see tree_scan.h.
#include "tree_scan.h"

#include <algorithm>
#include <system_error>

#include "console.h"
#include "system/file_queries.h"
#include "system/paths.h"
#include "system/unicode_tables.h"

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

// One entry of a folder, looked at: its composed name and what the file system says of it.
struct Seen {
  std::string name;  // composed, as it goes on the disc
  std::string path;  // by its own name, which may be decomposed
  bool link;
  EntryFacts facts;
  // A folder sorts as its name and a '/', as the names of the files in it do: walked in this
  // order, the files come out sorted by their whole relative names.
  std::string order;
};

bool walk_folder(Walk* walk, const std::string& dir, const std::string& prefix);

bool walk_entry(Walk* walk, Seen* seen, const std::string& prefix) {
  std::string rel = prefix + seen->name;
  if (seen->facts.folder) {
    // Every folder is asked: Wine shows a link to a folder as a plain folder.
    fs::path folder = file_path(seen->path);
    fs::path ancestor;
    if (leads_back(*walk, folder, &ancestor)) {
      return fail(walk, std::string(seen->link ? "the link " : "") + shown_path(folder) +
                            " leads back to " + shown_path(ancestor) +
                            ", a folder it lies in: a loop that a copy would follow forever");
    }
    walk->tree->folders.push_back(rel);
    walk->open.push_back(folder);
    if (!walk_folder(walk, seen->path, rel + "/")) return false;
    walk->open.pop_back();
  } else if (seen->facts.file) {
    walk->tree->files.push_back(
        {std::move(rel), std::move(seen->path), seen->facts.size, seen->facts.modified});
  } else if (!seen->facts.exists && !seen->link) {
    return fail(walk, "cannot read " + printable(seen->path));
  } else {
    walk->tree->others.push_back(rel);
  }
  return true;
}

bool walk_folder(Walk* walk, const std::string& dir, const std::string& prefix) {
  std::vector<FolderEntry> entries;
  std::string why;
  if (!folder_entries(dir, &entries, &why)) {
    return fail(walk, "cannot read the folder " + printable(dir) + ": " + why);
  }
  std::vector<Seen> seen;
  seen.reserve(entries.size());
  std::string separator(1, kPathSeparator);
  for (FolderEntry& entry : entries) {
    std::string path = dir + separator + entry.name;
    const EntryFacts& facts = entry.facts;  // through every link
    // Composed, as the name goes on the disc; the file is still read under its own name.
    std::string name = compose_name(entry.name);
    std::string order = facts.folder ? name + '/' : name;
    seen.push_back({std::move(name), std::move(path), entry.link, facts, std::move(order)});
  }
  std::vector<Seen*> order;  // sorted by reference: moving whole entries costs more
  order.reserve(seen.size());
  for (Seen& each : seen)
    order.push_back(&each);
  std::sort(order.begin(), order.end(),
            [](const Seen* a, const Seen* b) { return a->order < b->order; });
  for (Seen* each : order) {
    if (!walk_entry(walk, each, prefix)) return false;
  }
  return true;
}

}  // namespace

bool scan_tree(const fs::path& root, ScannedTree* tree, std::string* error) {
  Walk walk{tree, {root}, error};
  if (!walk_folder(&walk, path_text(root), "")) return false;
  // The walk's order gives the files sorted; the folders and the rest are sorted here.
  std::sort(tree->folders.begin(), tree->folders.end());
  std::sort(tree->others.begin(), tree->others.end());
  return true;
}

bool written_clearly_after(fs::file_time_type later, fs::file_time_type earlier) {
  return later - earlier > std::chrono::seconds(2);
}
