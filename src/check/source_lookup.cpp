// The source of each listed file, composed as the updater composes it. Windows looks the code
// page 932 path up with the "A" functions, as the updater does; on Linux the medium's names are
// UTF-8, so the path is converted and its backslashes become slashes.
#include "source_lookup.h"

#include "cp932_text.h"
#include "update/copy_paths.h"

#ifdef _WIN32

#include <windows.h>

#include "update/dbcs.h"

std::string setup_list_path(const std::string& dir) {
  bool ends_with_separator = ends_with_backslash_char(dir.c_str()) ||
                             (!dir.empty() && (dir.back() == '/' || dir.back() == ':'));
  return dir + (ends_with_separator || dir.empty() ? "" : "\\") + "update.ini";
}

std::string display_path(const std::string& path) {
  return cp932_to_utf8(path);
}

SourceFile find_source_file(const std::string& dir, const char* data_folder, const char* name) {
  CopyPaths paths;
  compose_copy_paths(dir.c_str(), data_folder, "", name, &paths);
  DWORD attributes = GetFileAttributesA(paths.source);
  bool exists =
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  return {cp932_to_utf8(paths.source), exists};
}

#else

#include <sys/stat.h>

#include <algorithm>

namespace {

std::string without_trailing_slashes(std::string dir) {
  while (!dir.empty() && dir.back() == '/')
    dir.pop_back();
  return dir;
}

}  // namespace

std::string setup_list_path(const std::string& dir) {
  return dir.empty() ? "update.ini" : without_trailing_slashes(dir) + "/update.ini";
}

std::string display_path(const std::string& path) {
  return path;
}

SourceFile find_source_file(const std::string& dir, const char* data_folder, const char* name) {
  // Composed below an empty base, the path starts with the separator that joins it to dir.
  CopyPaths paths;
  compose_copy_paths("", data_folder, "", name, &paths);
  // Converted first: the second byte of a double-byte character can be 0x5C, a backslash.
  std::string below = cp932_to_utf8(paths.source);
  std::replace(below.begin(), below.end(), '\\', '/');
  std::string path = without_trailing_slashes(dir) + below;
  struct stat info;
  bool exists = stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
  return {path, exists};
}

#endif
