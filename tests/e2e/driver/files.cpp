// Files and folders of a test: the update medium, the game folder, their contents.
#include "files.h"

namespace e2e {

void make_sparse_file(const std::string& path, unsigned long long size, const std::string& tail) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) fail("cannot create " + path);
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(size - tail.size());
  DWORD written = 0;
  // Wine extends the file with ftruncate: a hole on the Unix file system, no disk used.
  BOOL ok = SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && SetEndOfFile(file) &&
            WriteFile(file, tail.data(), static_cast<DWORD>(tail.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok || written != tail.size()) fail("cannot make the sparse file " + path);
}

bool same_contents(const std::string& a, const std::string& b) {
  constexpr DWORD kChunk = 1 << 20;
  HANDLE files[2];
  for (int i = 0; i < 2; ++i) {
    const std::string& path = i == 0 ? a : b;
    files[i] = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (files[i] == INVALID_HANDLE_VALUE) {
      if (i == 1) CloseHandle(files[0]);
      fail("cannot open " + path);
    }
  }
  std::string chunks[2] = {std::string(kChunk, '\0'), std::string(kChunk, '\0')};
  bool same = true;
  for (DWORD got[2] = {1, 1}; same && got[0] > 0;) {
    for (int i = 0; i < 2; ++i) {
      if (!ReadFile(files[i], chunks[i].data(), kChunk, &got[i], nullptr)) got[i] = 0;
    }
    same = got[0] == got[1] && chunks[0].compare(0, got[0], chunks[1], 0, got[1]) == 0;
  }
  CloseHandle(files[0]);
  CloseHandle(files[1]);
  return same;
}

void set_last_write_time(const std::string& path, const SYSTEMTIME& time) {
  FILETIME written;
  HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  BOOL ok = file != INVALID_HANDLE_VALUE && SystemTimeToFileTime(&time, &written) &&
            SetFileTime(file, nullptr, nullptr, &written);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  if (!ok) fail("cannot set the time of " + path);
}

std::string fresh_folder(const std::string& name) {
  std::string path = join(work_folder(), name);
  remove_tree(path);
  make_folders(path);
  return path;
}

void Medium::write_list(const std::string& bytes) const {
  write_file(join(root, "update.ini"), bytes);
}

std::string Medium::data_path(const std::string& name) const {
  return join(join(root, data_folder), name);
}

void Medium::add_file(const std::string& name, const std::string& bytes) const {
  std::string path = data_path(name);
  make_folders(path.substr(0, last_backslash(path)));
  write_file(path, bytes);
}

Medium fresh_medium(const std::string& name, const std::string& data_folder) {
  Medium medium{fresh_folder(name), data_folder};
  make_folders(join(medium.root, data_folder));
  return medium;
}

}  // namespace e2e
