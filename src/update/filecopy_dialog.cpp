// The FILECOPY dialog and its copy step.
#include "filecopy_dialog.h"

#include "plan/copy_paths.h"
#include "plan/copy_selection.h"
#include "plan/file_names.h"
#include "res/resource.h"
#include "safe_copy.h"
#include "setuplist/setup_record.h"
#include "plan/update_state.h"

int32_t CopyDoneCount = 0;
int32_t CopyAckCount = -1;

namespace {

constexpr UINT_PTR kCopyTimer = 123;
constexpr UINT kCopyTimerPeriod = 60;  // ms; one file per tick

char SourceBase[1024];  // the current directory: the root of the update medium

// Set just before the dialog sends itself IDOK at the end of the selection. The dialog manager
// turns Enter into an IDOK of its own, with the same lParam 0 (the template has no OK button):
// only this flag tells the two apart, and an Enter must not end a copy that has files left.
bool SelectionDone = false;

void on_start(HWND dialog) {
  ProceedFlag = 0;
  SourceBase[0] = '\0';
  GetCurrentDirectoryA(512, SourceBase);
  CopyDoneCount = 0;
  CopyAckCount = -1;
  SelectionDone = false;
  SetTimer(dialog, kCopyTimer, kCopyTimerPeriod, nullptr);
  CopyCursor = 0;
  CopyMask = kCopiedTypesMask;
}

void on_tick(HWND dialog) {
  if (CopyDoneCount != CopyAckCount) {
    SendMessageA(dialog, WM_COMMAND, ID_COPY_STEP, static_cast<LPARAM>(CopyDoneCount));
  }
}

void clear_read_only(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    SetFileAttributesA(path, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  }
}

// Copies one file. A name that would land outside the game folder is never touched: no folder
// is made for it, nothing is copied and no attribute changes; it is reported like any file
// that can't be copied.
void copy_one(HWND dialog, const char* name) {
  CopyPaths paths;
  compose_copy_paths(SourceBase, SetupRecord.PATH, DestinationPath, name, &paths);
  bool safe = is_safe_file_name(name);

  // One level only; a path too long for the folder functions is left to fail at the copy.
  if (safe && paths.directory_fits &&
      GetFileAttributesA(paths.directory) == INVALID_FILE_ATTRIBUTES) {
    CreateDirectoryA(paths.directory, nullptr);
  }

  char progress[1024];
  wsprintfA(progress, "インストール元　%s\nインストール先　%s\n", paths.source, paths.destination);
  SetDlgItemTextA(dialog, IDC_PROGRESS, progress);

  if (!safe || !paths.directory_fits ||
      !copy_file_safely(paths.source, paths.destination, paths.directory)) {
    char failure[1024];
    wsprintfA(failure, "%s -> %sのファイルコピーができません。", paths.source, paths.destination);
    MessageBoxA(dialog, failure, "ファイルコピー失敗", MB_OK);
  }
  if (safe) clear_read_only(paths.destination);
}

void copy_step(HWND dialog, int32_t count) {
  CopyAckCount = count;
  char name[1024];
  if (next_copy_file(name) == 1) {
    SelectionDone = true;
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    return;
  }
  copy_one(dialog, name);
  ++CopyDoneCount;
}

void on_end(HWND dialog, unsigned char proceed) {
  EndDialog(dialog, 1);
  ProceedFlag = proceed;
}

}  // namespace

INT_PTR CALLBACK filecopy_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      on_start(dialog);
      return TRUE;
    case WM_TIMER:
      on_tick(dialog);
      return FALSE;
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case ID_COPY_STEP:
          copy_step(dialog, static_cast<int32_t>(lparam));
          return FALSE;
        case IDOK:
          if (SelectionDone) on_end(dialog, 1);
          return TRUE;
        case IDCANCEL:
          on_end(dialog, 0);
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}
