// Composition of the paths of one copy step.
#include "copy_paths.h"

#include <cstring>

#include "dbcs.h"
#include "path_split.h"
#include "setuplist/text.h"

namespace {

// "<a>\<b>", the way the folder and the destination are formed; false when it does not fit.
bool join_with_backslash(char* out, size_t width, const char* a, const char* b) {
  bool fits = copy_bounded(out, width, a);
  fits = append_bounded(out, width, "\\") && fits;
  return append_bounded(out, width, b) && fits;
}

}  // namespace

void compose_copy_paths(const char* source_base, const char* data_folder, const char* game_folder,
                        const char* name, CopyPaths* out) {
  PathParts parts;
  split_path(name, &parts);
  copy_bounded(out->directory_part, sizeof out->directory_part, parts.dir);

  out->directory_fits =
      join_with_backslash(out->directory, sizeof out->directory, game_folder, parts.dir);
  if (!out->directory_fits) out->directory[0] = '\0';

  join_with_backslash(out->destination, sizeof out->destination, game_folder, name);

  char* source = out->source;
  copy_bounded(source, kCopyPathWidth, source_base);
  remove_trailing_backslash_char(source);
  append_bounded(source, kCopyPathWidth, "\\");
  append_bounded(source, kCopyPathWidth, data_folder);
  remove_trailing_backslash_char(source);
  append_bounded(source, kCopyPathWidth, "\\");
  append_bounded(source, kCopyPathWidth, name);
}
