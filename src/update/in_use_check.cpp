// Game files that another program holds open, found before the first copy.
#include "in_use_check.h"

#include "platform/win32.h"
#include "setuplist/setup_record.h"
#include "setuplist/text.h"
#include "plan/update_state.h"

namespace {

// Write and delete access, as the replace needs it, sharing everything so that only another
// program's handle can refuse it; opened and closed at once, nothing written. A sharing violation
// (a program that shares no writing, or runs the file) or a lock violation is another program;
// access denied for any other reason is left to the copy, which reports that file alone.
bool held_by_another_program(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE | DELETE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return false;
  }
  DWORD error = GetLastError();
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

}  // namespace

bool find_files_in_use(FilesInUse* in_use) {
  in_use->file_count = 0;
  in_use->program_count = 0;
  for (int32_t i = 0; i < UpdatePlan.step_count; ++i) {
    const PlanStep& step = UpdatePlan.steps[i];
    if (!step.replaces_game_file) continue;
    CopyPaths paths;
    compose_copy_paths("", SetupRecord.PATH, DestinationPath, FileTable.file_name[step.entry],
                       &paths);
    if (!held_by_another_program(paths.destination)) continue;
    if (in_use->file_count < kHeldFilesKept) {
      copy_bounded(in_use->files[in_use->file_count], kDirectoryPathWidth, paths.destination);
    }
    ++in_use->file_count;
  }
  if (in_use->file_count == 0) return false;
  int kept = in_use->file_count < kHeldFilesKept ? in_use->file_count : kHeldFilesKept;
  in_use->program_count = programs_holding(in_use->files, kept, in_use->programs, kProgramsNamed);
  return true;
}
