// Temporary files left in the game folder by an earlier run.
#include "leftover_sweep.h"

#include <cstring>

#include "copy_paths.h"
#include "copy_selection.h"
#include "file_names.h"
#include "platform/win32.h"
#include "setuplist/setup_record.h"
#include "setuplist/text.h"
#include "temp_names.h"
#include "update_state.h"

namespace {

// FindFirstFileA matches the pattern against short (8.3) names too: the long name decides.
void sweep_folder(const char* folder) {
  char pattern[MAX_PATH];
  char path[MAX_PATH];
  if (!copy_bounded(pattern, sizeof pattern, folder) ||
      !append_bounded(pattern, sizeof pattern, "upd*.tmp")) {
    return;
  }
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && is_temp_name(found.cFileName) &&
        copy_bounded(path, sizeof path, folder) &&
        append_bounded(path, sizeof path, found.cFileName)) {
      DeleteFileA(path);  // one another program holds, or made read-only, stays
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

}  // namespace

void remove_leftover_temporaries() {
  char swept[kDirectoryPathWidth] = "";
  for (int32_t entry = 0; entry < FileTable.file_count; ++entry) {
    const char* name = FileTable.file_name[entry];
    if (!is_copied_mask(FileTable.type_mask[entry]) || !is_safe_file_name(name)) continue;
    CopyPaths paths;
    compose_copy_paths("", SetupRecord.PATH, DestinationPath, name, &paths);
    // Lists keep a folder's files together: one look at each run of them.
    if (!paths.directory_fits || strcmp(paths.directory, swept) == 0) continue;
    copy_bounded(swept, sizeof swept, paths.directory);
    sweep_folder(paths.directory);
  }
}
