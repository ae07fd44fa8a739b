// Any medium folder, data folder, game folder and file name through the copy step's path
// composition and the check that keeps copies inside the game folder.
#include <cstdint>
#include <cstring>
#include <string>

#include "plan/copy_paths.h"
#include "plan/file_names.h"
#include "plan/path_split.h"

namespace {
// Splits the input at its first three 0xFF bytes into four strings, each cut to its width.
std::string take(const uint8_t*& p, const uint8_t* end, size_t width) {
  const uint8_t* stop = static_cast<const uint8_t*>(memchr(p, 0xFF, static_cast<size_t>(end - p)));
  if (stop == nullptr) stop = end;
  std::string s(reinterpret_cast<const char*>(p), static_cast<size_t>(stop - p));
  p = stop == end ? end : stop + 1;
  s = s.substr(0, strnlen(s.c_str(), width - 1));
  return s;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint8_t* p = data;
  const uint8_t* end = data + size;
  std::string base = take(p, end, 512);
  std::string folder = take(p, end, 256);
  std::string game = take(p, end, 258);
  std::string name = take(p, end, 32);

  CopyPaths paths;
  compose_copy_paths(base.c_str(), folder.c_str(), game.c_str(), name.c_str(), &paths);
  if (paths.directory_fits && strlen(paths.directory) >= kDirectoryPathWidth) __builtin_trap();

  // A name judged safe never climbs out of the game folder.
  if (is_safe_file_name(name.c_str())) {
    if (name.find("..\\") == 0 || name.find("../") == 0 || name == ".." ||
        name.find(':') != std::string::npos || name[0] == '\\' || name[0] == '/') {
      // A pair of a lead byte and a second byte can hide these bytes; only plain ASCII may not.
      bool ascii = true;
      for (unsigned char c : name)
        ascii = ascii && c < 0x80;
      if (ascii) __builtin_trap();
    }
  }
  PathParts parts;
  split_path(name.c_str(), &parts);
  return 0;
}
