// Files and folders of a test: the update medium, the game folder, their contents.
#pragma once

#include <windows.h>

#include <string>

#include "drive/files.h"
#include "environment.h"

namespace e2e {

// A game archive that costs no disk: a file of this size, all a hole but for tail, its last
// bytes. A copy of it writes real bytes.
void make_sparse_file(const std::string& path, unsigned long long size, const std::string& tail);
// Whether two files hold the same bytes, read a chunk at a time (for files too large to read
// whole).
bool same_contents(const std::string& a, const std::string& b);

// Sets a file's last-write time (UTC).
void set_last_write_time(const std::string& path, const SYSTEMTIME& time);

// A new empty folder under this test's work folder.
std::string fresh_folder(const std::string& name);

// An update medium: update.ini at its root and a data folder below it.
struct Medium {
  std::string root;
  std::string data_folder;  // PATH of the setup list, relative to root

  void write_list(const std::string& bytes) const;
  // Writes a data file, making its folders; the name is relative to the data folder.
  void add_file(const std::string& name, const std::string& bytes) const;
  std::string data_path(const std::string& name) const;
};

// A medium in a new folder, with no setup list yet.
Medium fresh_medium(const std::string& name, const std::string& data_folder = "GAME");

}  // namespace e2e
