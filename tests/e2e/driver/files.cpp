// Files and folders of a test: the update medium, the game folder, their contents.
#include "files.h"

#include <algorithm>

#include "environment.h"

namespace e2e {

namespace {

// The last backslash that is one: the second byte of ソ or 表 (0x5C) is not.
size_t last_backslash(const std::string& path) {
  size_t found = std::string::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    if (IsDBCSLeadByteEx(932, static_cast<BYTE>(path[i]))) {
      ++i;
    } else if (path[i] == '\\') {
      found = i;
    }
  }
  return found;
}

}  // namespace

std::string join(const std::string& a, const std::string& b) {
  if (a.empty()) return b;
  if (last_backslash(a) == a.size() - 1) return a + b;
  return a + "\\" + b;
}

void write_file(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) fail("cannot create " + path);
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok || written != bytes.size()) fail("cannot write " + path);
}

std::string read_file(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) fail("cannot open " + path);
  std::string bytes;
  char chunk[65536];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
    bytes.append(chunk, got);
  CloseHandle(file);
  return bytes;
}

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

DWORD attributes_of(const std::string& path) {
  return GetFileAttributesA(path.c_str());
}

bool file_exists(const std::string& path) {
  return attributes_of(path) != INVALID_FILE_ATTRIBUTES;
}

bool is_directory(const std::string& path) {
  DWORD attributes = attributes_of(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void set_read_only(const std::string& path, bool read_only) {
  DWORD attributes = attributes_of(path) & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
  if (read_only) attributes |= FILE_ATTRIBUTE_READONLY;
  if (!SetFileAttributesA(path.c_str(), attributes)) fail("cannot set the attributes of " + path);
}

void make_folders(const std::string& path) {
  if (path.empty() || is_directory(path)) return;
  size_t cut = last_backslash(path);
  if (cut != std::string::npos && cut > 2) make_folders(path.substr(0, cut));
  if (!CreateDirectoryA(path.c_str(), nullptr) && !is_directory(path)) {
    fail("cannot create the folder " + path);
  }
}

namespace {

// Calls visit(name, is_folder) for every entry of a folder but "." and "..".
template <typename Visit>
void for_each_entry(const std::string& folder, Visit visit) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(join(folder, "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    visit(name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

void walk_below(const std::string& folder, const std::string& prefix, const TreeVisit& visit) {
  for_each_entry(folder, [&](const std::string& name, bool is_folder) {
    std::string path = join(folder, name);
    if (visit(prefix + name, path, is_folder) && is_folder) {
      walk_below(path, prefix + name + "\\", visit);
    }
  });
}

}  // namespace

void remove_tree(const std::string& path) {
  if (!file_exists(path)) return;
  if (!is_directory(path)) {
    set_read_only(path, false);
    DeleteFileA(path.c_str());
    return;
  }
  for_each_entry(path, [&](const std::string& name, bool) { remove_tree(join(path, name)); });
  RemoveDirectoryA(path.c_str());
  if (file_exists(path)) fail("cannot remove " + path);
}

void walk_tree(const std::string& folder, const TreeVisit& visit) {
  walk_below(folder, "", visit);
}

std::vector<std::string> files_below(const std::string& folder) {
  std::vector<std::string> names;
  walk_tree(folder, [&](const std::string& relative, const std::string&, bool is_folder) {
    if (!is_folder) names.push_back(relative);
    return true;
  });
  std::sort(names.begin(), names.end());
  return names;
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
