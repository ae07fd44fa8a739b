// Game files that another program holds open, found before the first copy.
#include "in_use_check.h"

#include "platform/win32.h"
#include "setuplist/setup_record.h"
#include "setuplist/text.h"
#include "plan/update_state.h"

namespace {

// A virus scanner or an indexer holds a file for a moment; the game holds it for good. The check
// tries a held file again for this long, all files together, before it counts the file as held.
constexpr DWORD kMomentMs = 500;
constexpr DWORD kRetryMs = 50;
bool Waited = false;
DWORD WaitEnds = 0;

// What the replace needs: the rename over the file is refused while any other handle is open on
// it, whatever that handle shares, and a running exe cannot be opened for writing. Write and
// delete access, sharing nothing, asks both; opened and closed at once, nothing written. Access
// denied (a read-only file, rights that refuse this user) is left to the copy, which reports
// that file alone.
bool held_now(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE | DELETE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return false;
  }
  return GetLastError() == ERROR_SHARING_VIOLATION;
}

bool held_by_another_program(const char* path) {
  while (held_now(path)) {
    if (!Waited) {
      Waited = true;
      WaitEnds = GetTickCount() + kMomentMs;
    }
    if (static_cast<LONG>(GetTickCount() - WaitEnds) >= 0) return true;
    Sleep(kRetryMs);
  }
  return false;
}

}  // namespace

bool find_files_in_use(FilesInUse* in_use) {
  in_use->file_count = 0;
  in_use->program_count = 0;
  Waited = false;
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
