// Files opened and trees removed by the paths the tools hold (paths.h).
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

// fopen of a path as the tools hold it.
FILE* open_file(const std::string& path, const char* mode);
// A setup list opened for reading as the updater opens it (text mode), by any name: Windows takes
// the wide name.
FILE* open_list_file(const std::filesystem::path& path);

// A file opened for reading its bytes straight from the system, no stream between (tens of
// thousands of files are compared), and closed when it goes.
class FileReader {
 public:
  explicit FileReader(const std::string& path);
  ~FileReader();
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;
  bool is_open() const { return fd_ >= 0; }
  // Up to size bytes; 0 at the end, -1 when it fails.
  long read(char* buffer, size_t size);

 private:
  int fd_;
};

// Removes a tree, read-only files included (Windows refuses to delete a read-only file, and a copy
// keeps NEW's read-only attribute). False when something is left.
bool remove_tree(const std::filesystem::path& path);
