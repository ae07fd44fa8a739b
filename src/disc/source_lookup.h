// Paths on the update medium: where the setup list is, and where the updater takes each listed
// file from, looked up on this machine.
#pragma once

#include <cstdint>
#include <string>

// The setup list in dir, in the bytes the platform's file functions take.
std::string setup_list_path(const std::string& dir);
// A path in the platform's bytes, as UTF-8 text.
std::string display_path(const std::string& path);

struct SetupListPlace {
  std::string list;    // the setup list, in the platform's bytes
  std::string medium;  // the folder the data folder is looked up in
};

// path names either the medium's folder or the list itself (a file), whose folder is then the
// medium.
SetupListPlace locate_setup_list(const std::string& path);

struct SourceFile {
  std::string path;    // UTF-8
  bool exists;         // a file, not a folder, is there
  std::string native;  // the same path in the platform's bytes
  uint64_t size = 0;   // bytes, when it exists
};

// The source of a file name from the list: below dir, in the list's data folder.
SourceFile find_source_file(const std::string& dir, const char* data_folder, const char* name);
