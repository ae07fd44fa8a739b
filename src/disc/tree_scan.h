// A folder's tree as a copy takes it (as Windows and "cp -L" see it): every file and folder below
// it, symbolic links followed, by its name relative to the folder, and what is neither.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct TreeFile {
  std::string rel;   // UTF-8, composed (NFC), '/' between folders
  std::string path;  // as the tools hold paths (system.h), by its own name, maybe decomposed
  uint64_t size;
  // With size: a file changed since the scan shows. As entry_facts (system.h) gives it.
  std::filesystem::file_time_type modified;
};

struct ScannedTree {
  std::vector<TreeFile> files;       // sorted by rel
  std::vector<std::string> folders;  // sorted
  // Entries that are neither files nor folders (a device, a pipe, a link that leads nowhere),
  // sorted.
  std::vector<std::string> others;
};

// False, with the reason in *error, when a folder can't be read (naming that folder) or a link
// leads back into a folder above it (naming the link).
bool scan_tree(const std::filesystem::path& root, ScannedTree* tree, std::string* error);

// Whether a file written at `later` was written after one written at `earlier` by more than the
// file systems in between can tell apart: a disc keeps whole seconds and FAT two, and so do some
// tools' copies (Wine's sets whole seconds), so the same version may read up to 2 s either way.
bool written_clearly_after(std::filesystem::file_time_type later,
                           std::filesystem::file_time_type earlier);
