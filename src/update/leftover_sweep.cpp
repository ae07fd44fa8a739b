// Temporary files left in the game folder by an earlier run.
#include "leftover_sweep.h"

#include <cstring>

#include "plan/copy_paths.h"
#include "plan/temp_names.h"
#include "plan/update_state.h"
#include "platform/win32.h"
#include "setuplist/setup_record.h"
#include "setuplist/text.h"

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
  for (int32_t i = 0; i < UpdatePlan.step_count; ++i) {
    const PlanStep& step = UpdatePlan.steps[i];
    if (step.refusal == StepRefusal::unsafe_name) continue;  // never a folder of the game's
    CopyPaths paths;
    compose_copy_paths("", SetupRecord.PATH, DestinationPath, FileTable.file_name[step.entry],
                       &paths);
    // Lists keep a folder's files together: one look at each run of them.
    if (!paths.directory_fits || strcmp(paths.directory, swept) == 0) continue;
    copy_bounded(swept, sizeof swept, paths.directory);
    sweep_folder(paths.directory);
  }
}
