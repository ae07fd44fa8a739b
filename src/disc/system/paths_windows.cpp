// The Windows half of paths.h: wide paths.
#include "paths.h"

#include "wide_text_windows.h"

bool is_path_separator(char c) {
  return c == '\\' || c == '/';
}

std::string with_native_separators(std::string name) {
  return name;
}

std::string path_text(const std::filesystem::path& path) {
  return narrow_utf8(path.c_str());
}

std::filesystem::path file_path(const std::string& path) {
  return std::filesystem::path(widen(path));
}
