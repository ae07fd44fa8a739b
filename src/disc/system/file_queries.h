// What the file system answers for a path and for the entries of a folder, links followed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// One path as the file system answers for it. On Linux the DOS attributes are read as Wine keeps
// them: read-only from a mode without any write bit, hidden and system from the extended attribute
// user.DOSATTRIB.
struct PathFacts {
  bool exists = false;
  bool folder = false;
  bool file = false;  // neither a folder nor a device, a pipe or the like
  uint64_t size = 0;
  bool read_only = false;
  bool hidden = false;
  bool system = false;
};
PathFacts path_facts(const std::string& path);

// What a walk of a tree needs of one entry, from one query of the file system (a game holds tens
// of thousands of files). modified is the time of its last write as this function gives it:
// compare it only with another of its answers.
struct EntryFacts {
  bool exists = false;
  bool folder = false;
  bool file = false;  // neither a folder nor a device, a pipe or the like
  uint64_t size = 0;
  std::filesystem::file_time_type modified{};
};
EntryFacts entry_facts(const std::string& path);

// The entries of a folder (not "." and ".."), each with whether it is a symbolic link itself and
// what entry_facts says of it (on Linux asked relative to the open folder, which spares the
// system a walk of the whole path for each). False, with the reason in *error, when the folder
// can't be read.
struct FolderEntry {
  std::string name;
  bool link = false;
  EntryFacts facts;
};
bool folder_entries(const std::string& dir, std::vector<FolderEntry>* entries, std::string* error);

// The names in a folder, for looking one up without regard to case where the file system
// compares them byte for byte.
std::vector<std::string> folder_names(const std::string& dir);
