// Files and folders by their code page 932 names, through the "A" functions update.exe uses.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace drive {

// Where the last backslash that is one stands (npos when none): the second byte of ソ or 表
// (0x5C) is not one.
size_t last_backslash(const std::string& path);

// "a\b", never doubling a backslash at the seam; a 0x5C second byte at the end of a is no seam.
std::string join(const std::string& a, const std::string& b);

void write_file(const std::string& path, const std::string& bytes);
std::string read_file(const std::string& path);  // fails when unreadable
bool file_exists(const std::string& path);
bool is_directory(const std::string& path);
DWORD attributes_of(const std::string& path);
void set_read_only(const std::string& path, bool read_only);

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

}  // namespace drive
