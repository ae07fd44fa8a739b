// The walk of OLD and NEW and the comparison of their files.
#include "tree_diff.h"

#include <algorithm>
#include <map>
#include <set>
#include <system_error>
#include <thread>
#include <string_view>
#include <unordered_map>

#include "disc/console.h"
#include "disc/names.h"
#include "disc/system/files.h"
#include "disc/progress.h"
#include "disc/tree_scan.h"
#include "disc_plan.h"

namespace fs = std::filesystem;

namespace {

// What a comparison reads of each file at a time.
constexpr size_t kPiece = 1 << 18;

// Sizes are compared first, so only files of equal size are read. The buffers are the caller's,
// made once for every file: a game holds tens of thousands of small files.
struct Buffers {
  std::vector<char> a = std::vector<char>(kPiece);
  std::vector<char> b = std::vector<char>(kPiece);
};

bool same_bytes(const std::string& a, const std::string& b, Buffers* buffers, bool* same,
                std::string* error) {
  FileReader in_a(a);
  FileReader in_b(b);
  if (!in_a.is_open() || !in_b.is_open()) {
    *error = "cannot read " + printable(!in_a.is_open() ? a : b);
    return false;
  }
  for (;;) {
    long got_a = in_a.read(buffers->a.data(), kPiece);
    long got_b = got_a < 0 ? 0 : in_b.read(buffers->b.data(), kPiece);
    if (got_a < 0 || got_b < 0) {
      *error = "cannot read " + printable(got_a < 0 ? a : b);
      return false;
    }
    progress_add(static_cast<uint64_t>(got_a) + static_cast<uint64_t>(got_b));
    *same = got_a == got_b &&
            std::equal(buffers->a.begin(), buffers->a.begin() + got_a, buffers->b.begin());
    // A regular file reads short only at its end.
    if (!*same || got_a < static_cast<long>(kPiece)) return true;
  }
}

// A file of NEW and OLD's of the same name and size, to be read and compared.
struct Pair {
  const TreeFile* old_file;
  NewFile* new_file;
  bool same;
};

// How many files are read at once: the two versions' files are queried and read one at a time
// each, and the time goes in waiting for the system (tens of thousands of small files) or the
// disk. Two at once take what a second core or a second request in flight gives.
unsigned workers() {
  return std::max(1u, std::min(std::thread::hardware_concurrency(), 2u));
}

// OLD and NEW walked at once. OLD's fault is the one told when both have one.
bool scan_both(const fs::path& old_root, const fs::path& new_root, ScannedTree* old_tree,
               ScannedTree* new_tree, std::string* error) {
  if (workers() == 1) {
    return scan_tree(old_root, old_tree, error) && scan_tree(new_root, new_tree, error);
  }
  std::string new_error;
  bool new_ok = false;
  std::thread new_walk([&] { new_ok = scan_tree(new_root, new_tree, &new_error); });
  bool old_ok = scan_tree(old_root, old_tree, error);
  new_walk.join();
  if (old_ok && !new_ok) *error = new_error;
  return old_ok && new_ok;
}

// Compares every pair, the pairs shared out between the workers. The first pair in order that
// can't be read is the one told.
bool compare_pairs(std::vector<Pair>* pairs, std::string* error) {
  unsigned count = workers();
  std::vector<std::string> errors(pairs->size());
  std::vector<char> failed(pairs->size());
  auto work = [&](unsigned first) {
    Buffers buffers;
    for (size_t i = first; i < pairs->size(); i += count) {
      Pair& pair = (*pairs)[i];
      bool same = false;
      progress_file(shown_name(pair.new_file->rel));
      failed[i] =
          !same_bytes(pair.old_file->path, pair.new_file->path, &buffers, &same, &errors[i]);
      pair.same = same;
    }
  };
  std::vector<std::thread> others;
  for (unsigned first = 1; first < count; ++first)
    others.emplace_back(work, first);
  work(0);
  for (std::thread& other : others)
    other.join();
  for (size_t i = 0; i < pairs->size(); ++i) {
    if (failed[i]) {
      *error = errors[i];
      return false;
    }
  }
  return true;
}

}  // namespace

std::string windows_key(const std::string& rel) {
  return name_key(rel, NameText::composed);
}

bool diff_trees(const fs::path& old_root, const fs::path& new_root, TreeDiff* diff,
                std::string* error) {
  ScannedTree old_tree;
  ScannedTree new_tree;
  progress_phase("reading OLD and NEW", 0);
  if (!scan_both(old_root, new_root, &old_tree, &new_tree, error)) return false;
  // Each name's key is made once, and found by its hash: a game holds tens of thousands of files.
  // Where two files of OLD have one key, the first by name stands for both (first[i]).
  std::unordered_map<std::string_view, size_t> old_index;  // views of old_files' keys
  old_index.reserve(old_tree.files.size());
  diff->old_files.reserve(old_tree.files.size());
  std::vector<size_t> first(old_tree.files.size());
  for (size_t i = 0; i < old_tree.files.size(); ++i) {
    auto [it, fresh] =
        diff->old_files.emplace(windows_key(old_tree.files[i].rel), old_tree.files[i].rel);
    if (fresh) old_index.emplace(it->first, i);
    first[i] = old_index.find(it->first)->second;
  }
  for (const std::string& folder : old_tree.folders)
    diff->old_folders.emplace(windows_key(folder), folder);

  std::vector<bool> matched(old_tree.files.size());
  std::vector<Pair> pairs;  // the files of NEW that OLD has at the same size
  diff->files.reserve(new_tree.files.size());
  for (TreeFile& scanned : new_tree.files) {
    std::string key = windows_key(scanned.rel);
    diff->files.push_back({std::move(scanned.rel), key, std::move(scanned.path), scanned.size,
                           scanned.modified, Change::added, 0});
    NewFile& file = diff->files.back();
    auto found = old_index.find(key);
    if (found == old_index.end()) continue;
    const TreeFile& old = old_tree.files[found->second];
    matched[found->second] = true;
    file.old_size = old.size;
    file.change = Change::changed;
    if (file.size == file.old_size) pairs.push_back({&old, &file, false});
  }
  uint64_t bytes = 0;
  for (const Pair& pair : pairs)
    bytes += 2 * pair.new_file->size;
  progress_phase("reading OLD and NEW", bytes);
  if (!compare_pairs(&pairs, error)) return false;
  for (const Pair& pair : pairs) {
    if (pair.same) pair.new_file->change = Change::unchanged;
  }
  for (size_t i = 0; i < diff->files.size(); ++i) {
    NewFile& file = diff->files[i];
    if (file.change != Change::changed) continue;
    const TreeFile& old = old_tree.files[old_index.find(file.key)->second];
    file.older = written_clearly_after(old.modified, file.modified);
  }
  for (size_t i = 0; i < old_tree.files.size(); ++i) {
    if (!matched[first[i]]) diff->only_in_old.push_back(old_tree.files[i].rel);
  }
  if (!old_tree.others.empty()) {
    std::set<std::string> new_keys;
    for (const NewFile& file : diff->files)
      new_keys.insert(file.key);
    for (const std::string& folder : new_tree.folders)
      new_keys.insert(windows_key(folder));
    for (const std::string& other : old_tree.others) {
      bool clashes = new_keys.count(windows_key(other)) != 0;
      (clashes ? diff->old_clashes : diff->old_others).push_back(other);
    }
  }
  diff->new_folders = std::move(new_tree.folders);
  diff->skipped = std::move(new_tree.others);
  return true;
}
