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

namespace {

// The capital of c, for the letters that code page 932 holds: ASCII, full-width Latin, Greek,
// Cyrillic and the small Roman numerals.
uint32_t upper_case(uint32_t c) {
  if ((c >= 'a' && c <= 'z') || (c >= 0xFF41 && c <= 0xFF5A) || (c >= 0x0430 && c <= 0x044F)) {
    return c - 0x20;
  }
  if (c >= 0x03B1 && c <= 0x03C9 && c != 0x03C2) return c - 0x20;
  if (c >= 0x0450 && c <= 0x045F) return c - 0x50;
  if (c >= 0x2170 && c <= 0x217F) return c - 0x10;
  return c;
}

// Each capital above is as long in UTF-8 as its small letter.
void append_utf8(uint32_t c, size_t len, std::string* out) {
  if (len == 1) {
    *out += static_cast<char>(c);
  } else if (len == 2) {
    *out += static_cast<char>(0xC0 | (c >> 6));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out += static_cast<char>(0xE0 | (c >> 12));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool is_continuation(unsigned char b) {
  return (b & 0xC0) == 0x80;
}

}  // namespace

std::string upper_case_utf8(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    auto b = static_cast<unsigned char>(s[i]);
    size_t len = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : 0;
    for (size_t k = 1; k < len; ++k) {
      if (i + k >= s.size() || !is_continuation(static_cast<unsigned char>(s[i + k]))) len = 0;
    }
    if (len == 0) {  // not a character this fold knows: as it is
      out += s[i++];
      continue;
    }
    uint32_t c = len == 1 ? b : len == 2 ? b & 0x1F : b & 0x0F;
    for (size_t k = 1; k < len; ++k)
      c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    append_utf8(upper_case(c), len, &out);
    i += len;
  }
  return out;
}

std::vector<std::string> name_parts(const std::string& name) {
  std::vector<std::string> parts;
  std::string part;
  auto finish = [&] {
    if (!part.empty() && part != ".") parts.push_back(part);
    part.clear();
  };
  for (size_t i = 0; i < name.size(); ++i) {
    char c = name[i];
    if (is_cp932_lead(static_cast<unsigned char>(c)) && i + 1 < name.size()) {
      part += c;
      part += name[++i];
    } else if (c == '\\' || c == '/') {
      finish();
    } else {
      part += c;
    }
  }
  finish();
  return parts;
}

std::string game_name_key(const std::string& name) {
  std::string key;
  for (const std::string& part : name_parts(name)) {
    if (!key.empty()) key += '\\';
    key += upper_case_utf8(cp932_to_utf8(part));
  }
  return key;
}

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
