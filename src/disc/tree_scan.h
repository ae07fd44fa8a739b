// A folder's tree as a copy takes it: every file and folder below it, by its name relative to the
// folder, and what is neither.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct TreeFile {
  std::string rel;  // UTF-8, '/' between folders
  std::filesystem::path path;
  uint64_t size;
};

struct ScannedTree {
  std::vector<TreeFile> files;       // sorted by rel
  std::vector<std::string> folders;  // sorted
  std::vector<std::string> others;   // entries that are neither files nor folders, sorted
};

// False, with the reason in *error, when a folder can't be read.
bool scan_tree(const std::filesystem::path& root, ScannedTree* tree, std::string* error);
