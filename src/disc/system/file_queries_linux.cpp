// The Linux half of file_queries.h: stat, and the attributes as Wine keeps them.
#include "file_queries.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

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

EntryFacts facts_of(const struct stat& info) {
  EntryFacts facts;
  facts.exists = true;
  facts.folder = S_ISDIR(info.st_mode);
  facts.file = S_ISREG(info.st_mode);
  facts.size = static_cast<uint64_t>(info.st_size);
  facts.modified = std::filesystem::file_time_type(
      std::chrono::duration_cast<std::filesystem::file_time_type::duration>(
          std::chrono::seconds(info.st_mtim.tv_sec) +
          std::chrono::nanoseconds(info.st_mtim.tv_nsec)));
  return facts;
}

}  // namespace

PathFacts path_facts(const std::string& path) {
  PathFacts facts;
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return facts;
  facts.exists = true;
  facts.folder = S_ISDIR(info.st_mode);
  facts.file = S_ISREG(info.st_mode);
  facts.size = static_cast<uint64_t>(info.st_size);
  // Wine keeps the read-only attribute as a mode without any write bit.
  facts.read_only = (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  unsigned dos = dos_attributes(path);
  facts.hidden = (dos & kHidden) != 0;
  facts.system = (dos & kSystem) != 0;
  return facts;
}

EntryFacts entry_facts(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? facts_of(info) : EntryFacts{};
}

bool folder_entries(const std::string& dir, std::vector<FolderEntry>* entries, std::string* error) {
  DIR* folder = opendir(dir.c_str());
  if (folder == nullptr) {
    *error = strerror(errno);
    return false;
  }
  // readdir says it failed only through errno, which the queries in between may have set.
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(folder);
    if (entry == nullptr) break;
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat info;
    bool link = entry->d_type == DT_LNK;
    if (entry->d_type == DT_UNKNOWN) {  // a file system that doesn't say in the listing
      link = fstatat(dirfd(folder), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
             S_ISLNK(info.st_mode);
    }
    EntryFacts facts;
    if (fstatat(dirfd(folder), entry->d_name, &info, 0) == 0) facts = facts_of(info);
    entries->push_back({std::move(name), link, facts});
  }
  bool failed = errno != 0;
  if (failed) *error = strerror(errno);
  (void)closedir(folder);  // read only: nothing to lose
  return !failed;
}

std::vector<std::string> folder_names(const std::string& dir) {
  std::vector<std::string> names;
  std::error_code error;
  std::filesystem::directory_iterator it(dir, error);
  for (; !error && it != std::filesystem::directory_iterator(); it.increment(error))
    names.push_back(it->path().filename().string());
  return names;
}
