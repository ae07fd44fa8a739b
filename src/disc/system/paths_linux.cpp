// The Linux half of paths.h: a path is its bytes.
#include "paths.h"

#include <algorithm>

bool is_path_separator(char c) {
  return c == '/';
}

// On Linux a backslash is part of a name: the medium's names go through a converter first, so a
// second byte 0x5C is never taken for one here.
std::string with_native_separators(std::string name) {
  std::replace(name.begin(), name.end(), '\\', '/');
  return name;
}

std::string path_text(const std::filesystem::path& path) {
  return path.string();
}

std::filesystem::path file_path(const std::string& path) {
  return std::filesystem::path(path);
}
