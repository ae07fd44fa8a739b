// Files and folders of a test: the update medium, the game folder, their contents.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// "a\b", never doubling a backslash at the seam; a 0x5C second byte at the end of a is no seam.
std::string join(const std::string& a, const std::string& b);

void write_file(const std::string& path, const std::string& bytes);
std::string read_file(const std::string& path);  // fails the test when unreadable
bool file_exists(const std::string& path);
bool is_directory(const std::string& path);
DWORD attributes_of(const std::string& path);
void set_read_only(const std::string& path, bool read_only);

// A game archive that costs no disk: a file of this size, all a hole but for tail, its last
// bytes. A copy of it writes real bytes.
void make_sparse_file(const std::string& path, unsigned long long size, const std::string& tail);
// Whether two files hold the same bytes, read a chunk at a time (for files too large to read
// whole).
bool same_contents(const std::string& a, const std::string& b);

// Sets a file's last-write time (UTC).
void set_last_write_time(const std::string& path, const SYSTEMTIME& time);

// Creates the folder and every missing folder above it.
void make_folders(const std::string& path);
void remove_tree(const std::string& path);

// Calls visit(relative, path, is_folder) for every file and folder below a folder, each folder
// before what it holds; relative names use backslashes. A folder for which visit returns false
// is not entered.
using TreeVisit =
    std::function<bool(const std::string& relative, const std::string& path, bool is_folder)>;
void walk_tree(const std::string& folder, const TreeVisit& visit);
// The names of every file below a folder, relative to it, sorted.
std::vector<std::string> files_below(const std::string& folder);

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
