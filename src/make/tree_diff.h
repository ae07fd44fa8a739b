// What changed between the game as players have it (OLD) and the new version (NEW): every file of
// NEW, added, changed in content or unchanged, and what only OLD has. Files are matched as
// Windows matches names (name_key).
#pragma once

#include <cstdint>
#include <filesystem>
#include <unordered_map>
#include <string>
#include <vector>

enum class Change { added, changed, unchanged };

struct NewFile {
  std::string rel;   // below NEW, UTF-8 composed, '/' between folders
  std::string key;   // rel as Windows compares it (windows_key), made once
  std::string path;  // as the tools hold paths (system.h)
  uint64_t size;
  std::filesystem::file_time_type modified;  // when NEW was read, as entry_facts gives it
  Change change;
  uint64_t old_size;   // 0 when added
  bool older = false;  // changed, and last written before OLD's file was
};

struct TreeDiff {
  std::vector<NewFile> files;            // every file of NEW, sorted by rel
  std::vector<std::string> new_folders;  // every folder of NEW
  // Every folder and file of OLD by its name_key (windows_key), found by hash: a game holds tens
  // of thousands.
  std::unordered_map<std::string, std::string> old_folders;
  std::unordered_map<std::string, std::string> old_files;
  std::vector<std::string> only_in_old;  // files of OLD that NEW lacks
  // Entries that are neither files nor folders (a device, a pipe, a link that leads nowhere).
  std::vector<std::string> skipped;      // of NEW: the updater can't carry them
  std::vector<std::string> old_others;   // of OLD, only there
  std::vector<std::string> old_clashes;  // of OLD, where NEW has a file or a folder
};

// A name below OLD or NEW (composed, as scan_tree gives it) as Windows compares it.
std::string windows_key(const std::string& rel);

// Walks both trees and compares the files that both have byte for byte. False, with the reason
// in *error, when a folder or a file can't be read.
bool diff_trees(const std::filesystem::path& old_root, const std::filesystem::path& new_root,
                TreeDiff* diff, std::string* error);
