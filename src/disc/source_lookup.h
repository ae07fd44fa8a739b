// Paths on the update medium: where the setup list is, and where the updater takes each listed
// file from, looked up on this machine.
#pragma once

#include <cstdint>
#include <string>

// Paths here are UTF-8, as the tools hold them (system.h).

// The setup list in dir.
std::string setup_list_path(const std::string& dir);

struct SetupListPlace {
  std::string list;    // the setup list
  std::string medium;  // the folder the data folder is looked up in
};

// path names either the medium's folder or the list itself (a file), whose folder is then the
// medium.
SetupListPlace locate_setup_list(const std::string& path);

struct SourceFile {
  std::string path;
  bool exists;        // a file, not a folder, is there
  uint64_t size = 0;  // bytes, when it exists
};

// The source of a file name from the list: below dir, in the list's data folder.
SourceFile find_source_file(const std::string& dir, const char* data_folder, const char* name);

// The name (UTF-8) of a file beside the missing source at path (UTF-8) whose name only looks like
// the source's: the same once the characters code page 932 lacks become their look-alikes, and
// letter case aside. Empty when there is none.
std::string look_alike_file(const std::string& path);
