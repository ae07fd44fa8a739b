// Handles that close themselves on every way out, an interrupt thrown through them too.
#pragma once

#include <windows.h>

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (ok()) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// A search of FindFirstFileW, ended with FindClose.
class FolderSearch {
 public:
  FolderSearch(const wchar_t* pattern, WIN32_FIND_DATAW* found)
      : handle_(FindFirstFileW(pattern, found)) {}
  ~FolderSearch() {
    if (ok()) FindClose(handle_);
  }
  FolderSearch(const FolderSearch&) = delete;
  FolderSearch& operator=(const FolderSearch&) = delete;
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool next(WIN32_FIND_DATAW* found) { return FindNextFileW(handle_, found) != FALSE; }

 private:
  HANDLE handle_;
};
