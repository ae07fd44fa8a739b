// What changed between the game as players have it (OLD) and the new version (NEW): every file of
// NEW, added, changed in content or unchanged, and what only OLD has. Files are matched as
// Windows matches names, without regard to the case of ASCII letters.
#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

enum class Change { added, changed, unchanged };

struct NewFile {
  std::string rel;  // below NEW, UTF-8, '/' between folders
  std::filesystem::path path;
  uint64_t size;
  Change change;
  uint64_t old_size;   // 0 when added
  bool older = false;  // changed, and last written before OLD's file was
};

struct TreeDiff {
  std::vector<NewFile> files;             // every file of NEW, sorted by rel
  std::vector<std::string> new_folders;   // every folder of NEW
  std::set<std::string> old_folder_keys;  // windows_key of every folder of OLD
  std::set<std::string> old_file_keys;
  std::vector<std::string> only_in_old;  // files of OLD that NEW lacks
  std::vector<std::string> skipped;      // entries of NEW that are neither files nor folders
};

// A relative name as Windows compares it: ASCII letters in upper case, '\' and '/' alike.
std::string windows_key(const std::string& rel);

// Walks both trees and compares the files that both have byte for byte. False, with the reason
// in *error, when a folder or a file can't be read.
bool diff_trees(const std::filesystem::path& old_root, const std::filesystem::path& new_root,
                TreeDiff* diff, std::string* error);
