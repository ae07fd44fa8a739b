// The runtime's path split, done by hand so that both builds use the system's lead bytes alike.
#include "path_split.h"

#include <cstring>

#include "dbcs.h"

namespace {

bool is_separator(char c) {
  return c == '\\' || c == '/';
}

bool copy_part(char* out, const char* from, size_t len) {
  if (len >= kPartWidth) return false;
  memcpy(out, from, len);
  out[len] = '\0';
  return true;
}

}  // namespace

bool split_path(const char* path, PathParts* parts) {
  *parts = PathParts{};
  const char* rest = path;
  if (path[0] != '\0' && path[1] == ':') {
    parts->drive[0] = path[0];
    parts->drive[1] = ':';
    rest = path + 2;
  }

  // One pass over whole characters: the last separator and the last dot. The second byte of a
  // double-byte character is never either, and a lead byte right before the terminator ends it.
  size_t len = strlen(rest);
  size_t dir_end = 0;  // bytes of the directory, its last separator included
  const char* last_dot = nullptr;
  for (size_t i = 0; i < len;) {
    auto b = static_cast<unsigned char>(rest[i]);
    if (ansi_lead_byte(b)) {
      i += (i + 1 < len) ? 2 : 1;
      continue;
    }
    if (is_separator(rest[i])) dir_end = i + 1;
    if (rest[i] == '.') last_dot = rest + i;
    ++i;
  }
  if (last_dot != nullptr && last_dot < rest + dir_end) last_dot = nullptr;

  const char* name = rest + dir_end;
  const char* ext = last_dot != nullptr ? last_dot : rest + len;
  if (!copy_part(parts->dir, rest, dir_end) ||
      !copy_part(parts->fname, name, static_cast<size_t>(ext - name)) ||
      !copy_part(parts->ext, ext, static_cast<size_t>(rest + len - ext))) {
    *parts = PathParts{};
    return false;
  }
  return true;
}
