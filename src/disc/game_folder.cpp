// The game folder on this machine; see game_folder.h. Windows compares names without regard to
// case by itself; on Linux a game folder made by Wine (or copied from Windows) is read the way
// Wine reads it: each part of a name is looked up as it is, then among the folder's names
// without regard to case, and the DOS attributes come from the file's mode and the extended
// attribute in which Wine keeps them.
#include "game_folder.h"

#include <algorithm>
#include <cstdio>

#include "cp932_text.h"
#include "setuplist/text.h"

bool same_contents(const std::string& a, const std::string& b) {
  FILE* fa = fopen(a.c_str(), "rb");
  FILE* fb = fa != nullptr ? fopen(b.c_str(), "rb") : nullptr;
  bool same = fb != nullptr;
  while (same) {
    char ba[16384];
    char bb[sizeof ba];
    size_t na = fread(ba, 1, sizeof ba, fa);
    size_t nb = fread(bb, 1, sizeof bb, fb);
    same = na == nb && std::equal(ba, ba + na, bb);
    if (na < sizeof ba) {
      same = same && ferror(fa) == 0 && ferror(fb) == 0;
      break;
    }
  }
  if (fb != nullptr) (void)fclose(fb);  // read only: nothing to lose
  if (fa != nullptr) (void)fclose(fa);
  return same;
}

#ifdef _WIN32

#include <windows.h>

#include "update/dbcs.h"

GameItem GameFolder::look_up(const std::string& name) {
  std::string path = dir_;
  if (!name.empty()) {
    bool separated = ends_with_backslash_char(path.c_str()) ||
                     (!path.empty() && (path.back() == '/' || path.back() == ':'));
    path += (separated ? "" : "\\") + name;
  }
  GameItem item;
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &info)) return item;
  DWORD a = info.dwFileAttributes;
  item.kind = (a & FILE_ATTRIBUTE_DIRECTORY) != 0 ? GameItem::Kind::folder : GameItem::Kind::file;
  item.size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  item.read_only = (a & FILE_ATTRIBUTE_READONLY) != 0;
  item.hidden = (a & FILE_ATTRIBUTE_HIDDEN) != 0;
  item.system = (a & FILE_ATTRIBUTE_SYSTEM) != 0;
  item.native = path;
  return item;
}

bool is_folder(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

DiskSpace disk_space_of(const std::string& dir) {
  DiskSpace space;
  ULARGE_INTEGER available;
  if (!GetDiskFreeSpaceExA(dir.c_str(), &available, nullptr, nullptr)) return space;
  space.known = true;
  space.free = available.QuadPart;
  // GetDiskFreeSpaceA wants the root of the volume (with its backslash) on older systems.
  char root[MAX_PATH];
  DWORD sectors_per_cluster;
  DWORD bytes_per_sector;
  DWORD free_clusters;
  DWORD clusters;
  space.cluster_size = 4096;
  if (GetVolumePathNameA(dir.c_str(), root, sizeof root) &&
      GetDiskFreeSpaceA(root, &sectors_per_cluster, &bytes_per_sector, &free_clusters, &clusters)) {
    space.cluster_size = static_cast<uint64_t>(sectors_per_cluster) * bytes_per_sector;
  }
  return space;
}

#else

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>

#include <cstdlib>
#include <filesystem>

namespace {

constexpr unsigned kHidden = 0x2;  // FILE_ATTRIBUTE_HIDDEN
constexpr unsigned kSystem = 0x4;  // FILE_ATTRIBUTE_SYSTEM

// Wine keeps the hidden and system attributes as the text "0x" and hex digits (a NUL after them
// is allowed) in user.DOSATTRIB, the attribute Samba uses; it takes nothing else from there.
// Measured with Wine 8: "0X2" and the bare byte 0x22 count for nothing, "0x12" for hidden.
unsigned dos_attributes(const std::string& path) {
  char value[64];
  ssize_t len = getxattr(path.c_str(), "user.DOSATTRIB", value, sizeof value - 1);
  if (len <= 2 || value[0] != '0' || value[1] != 'x') return 0;
  value[len] = '\0';
  char* end = nullptr;
  unsigned long bits = strtoul(value + 2, &end, 16);
  if (end == value + 2 || *end != '\0') return 0;
  return static_cast<unsigned>(bits) & (kHidden | kSystem);
}

}  // namespace

// The name of part in dir: itself when it is there, else the first (in byte order) of the names
// that differ from it only in letter case.
bool GameFolder::find_part(const std::string& dir, const std::string& part, std::string* found) {
  struct stat info;
  if (stat((dir + "/" + part).c_str(), &info) == 0) {
    *found = part;
    return true;
  }
  auto [listing, fresh] = listings_.try_emplace(dir);
  if (fresh) {
    std::error_code error;
    std::filesystem::directory_iterator it(dir, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
      std::string name = it->path().filename().string();
      std::string& first = listing->second[upper_case_utf8(name)];
      if (first.empty() || name < first) first = name;
    }
  }
  auto hit = listing->second.find(upper_case_utf8(part));
  if (hit == listing->second.end()) return false;
  *found = hit->second;
  return true;
}

GameItem GameFolder::look_up(const std::string& name) {
  GameItem item;
  std::string path = dir_;
  std::string last;
  for (const std::string& part : name_parts(name)) {
    if (!find_part(path, cp932_to_utf8(part), &last)) return item;
    path += "/" + last;
  }
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return item;
  item.kind = S_ISDIR(info.st_mode) ? GameItem::Kind::folder : GameItem::Kind::file;
  item.size = static_cast<uint64_t>(info.st_size);
  // Wine keeps the read-only attribute as a mode without any write bit.
  item.read_only = (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  unsigned dos = dos_attributes(path);
  item.dot_name = !last.empty() && last[0] == '.';
  item.hidden = (dos & kHidden) != 0 || item.dot_name;
  item.system = (dos & kSystem) != 0;
  item.native = path;
  return item;
}

bool is_folder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

DiskSpace disk_space_of(const std::string& dir) {
  DiskSpace space;
  struct statvfs info;
  if (statvfs(dir.c_str(), &info) != 0) return space;
  uint64_t block = info.f_frsize != 0 ? info.f_frsize : info.f_bsize;
  space.known = true;
  space.free = static_cast<uint64_t>(info.f_bavail) * block;
  space.cluster_size = block;
  return space;
}

#endif
