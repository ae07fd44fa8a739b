// Normalisation of the destination folder.
#include "destination.h"

#include <cstring>

#include "dbcs.h"
#include "path_split.h"
#include "setuplist/text.h"
#include "update_state.h"

namespace {

constexpr int kJoinedWidth = 260;     // the directory, with or without the file name
constexpr int kCollapsedWidth = 256;  // ended with two zero bytes: at most 254 bytes of text

// Copies joined into collapsed, keeping only the last backslash of each run. Every byte of 0x80
// or above is taken with the byte after it (half-width katakana included), so a second byte is
// never seen as a backslash; a CR or LF ends the path. False when the result does not fit.
bool collapse_backslashes(const char* joined, char* collapsed) {
  size_t out = 0;
  const size_t limit = kCollapsedWidth - 2;
  for (const char* p = joined;;) {
    auto c = static_cast<unsigned char>(*p);
    if (c == '\0' || c == '\r' || c == '\n') break;
    size_t take = 1;
    if (c >= 0x80) {
      take = p[1] != '\0' ? 2 : 1;
    } else if (c == '\\' && p[1] == '\\') {
      ++p;
      continue;
    }
    if (out + take > limit) return false;
    memcpy(collapsed + out, p, take);
    out += take;
    p += take;
    if (take == 1 && c >= 0x80) break;  // a lead byte before the terminator ends the path
  }
  collapsed[out] = '\0';
  collapsed[out + 1] = '\0';
  return true;
}

bool ends_with_separator_char(const char* s) {
  size_t len = strlen(s);
  if (len == 0) return false;
  size_t last = last_char_offset(s, len);
  return last == len - 1 && (s[last] == '\\' || s[last] == '/');
}

}  // namespace

void normalize_destination() {
  PathParts parts;
  split_path(DestinationPath, &parts);  // on failure every part is empty, and so is the result

  // A last component with an extension is taken for a file and dropped.
  char joined[kJoinedWidth];
  bool fits = copy_bounded(joined, sizeof joined, parts.dir);
  if (parts.ext[0] == '\0') fits = append_bounded(joined, sizeof joined, parts.fname) && fits;

  char collapsed[kCollapsedWidth];
  if (!fits || !collapse_backslashes(joined, collapsed)) {
    DestinationPath[0] = '\0';
    return;
  }
  // The trailing-backslash tests look at the last character, so a folder whose name ends in ソ
  // or 表 (second byte 0x5C) keeps its last character.
  remove_trailing_backslash_char(collapsed);

  // The drive, then the collapsed path. Joining puts a backslash after a path that does not end
  // in a separator, and the last step takes a trailing backslash off again; the two cancel, so
  // only a path that already ends in a separator (or is empty) is looked at. Appending and
  // removing for real would fuse a lone lead byte at the end with the backslash into ソ (83 5C).
  DestinationPath[0] = '\0';
  if (parts.drive[0] != '\0') copy_bounded(DestinationPath, kDestinationWidth, parts.drive);
  append_bounded(DestinationPath, kDestinationWidth, collapsed);
  if (collapsed[0] == '\0' || ends_with_separator_char(collapsed)) {
    remove_trailing_backslash_char(DestinationPath);
  }
}
