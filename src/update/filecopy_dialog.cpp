// The FILECOPY dialog and its copy step.
#include "filecopy_dialog.h"

#include <cstring>

#include "copy_job.h"
#include "plan/copy_paths.h"
#include "plan/copy_selection.h"
#include "plan/file_names.h"
#include "plan/progress_figures.h"
#include "res/resource.h"
#include "setuplist/setup_record.h"
#include "plan/update_state.h"
#include "setuplist/text.h"

int32_t CopyDoneCount = 0;
int32_t CopyAckCount = -1;

namespace {

constexpr UINT_PTR kCopyTimer = 123;
constexpr UINT kCopyTimerPeriod = 60;         // ms; one file per tick
constexpr UINT kCopyEnded = WM_APP + 1;       // posted by the copy's worker at its end
constexpr DWORD kProgressLineAfterMs = 1000;  // a shorter file shows the two lines alone
constexpr DWORD kProgressLineEveryMs = 250;
constexpr DWORD kCancelWaitMs = 400;

char SourceBase[1024];  // the current directory: the root of the update medium

// Set just before the dialog sends itself IDOK at the end of the selection. The dialog manager
// turns Enter into an IDOK of its own, with the same lParam 0 (the template has no OK button):
// only this flag tells the two apart, and an Enter must not end a copy that has files left.
bool SelectionDone = false;

// The file whose copy runs as a job. From the step that starts it until its end has been
// handled, CopyDoneCount and CopyAckCount stay equal, so no tick starts another.
struct FileUnderWay {
  bool running;
  CopyPaths paths;
  char lines[1024];  // the progress text's two lines, as the step showed them
  char shown[1024];  // what control 1009 shows now
  DWORD started;     // GetTickCount() at the file's start
  DWORD line_shown;  // and when the progress line was last made
  bool cancelled;
  DWORD cancelled_at;
};
FileUnderWay Current;

void on_start(HWND dialog) {
  ProceedFlag = 0;
  SourceBase[0] = '\0';
  GetCurrentDirectoryA(512, SourceBase);
  CopyDoneCount = 0;
  CopyAckCount = -1;
  SelectionDone = false;
  Current = FileUnderWay{};
  SetTimer(dialog, kCopyTimer, kCopyTimerPeriod, nullptr);
  CopyCursor = 0;
  CopyMask = kCopiedTypesMask;
}

void on_end(HWND dialog, unsigned char proceed) {
  EndDialog(dialog, 1);
  ProceedFlag = proceed;
}

void show_progress(HWND dialog, const char* text) {
  copy_bounded(Current.shown, sizeof Current.shown, text);
  SetDlgItemTextA(dialog, IDC_PROGRESS, text);
}

void clear_read_only(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    SetFileAttributesA(path, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  }
}

void report_failure(HWND dialog, const CopyPaths& paths) {
  char failure[1024];
  wsprintfA(failure, "%s -> %sのファイルコピーができません。", paths.source, paths.destination);
  MessageBoxA(dialog, failure, "ファイルコピー失敗", MB_OK);
}

// Starts one file's copy. A name that would land outside the game folder is never touched: no
// folder is made for it, nothing is copied and no attribute changes; it is reported like any
// file that can't be copied, as is a folder path too long for the folder functions.
void copy_one(HWND dialog, const char* name) {
  CopyPaths& paths = Current.paths;
  compose_copy_paths(SourceBase, SetupRecord.PATH, DestinationPath, name, &paths);
  bool safe = is_safe_file_name(name);

  // One level only; a path too long for the folder functions is left to fail at the copy.
  if (safe && paths.directory_fits &&
      GetFileAttributesA(paths.directory) == INVALID_FILE_ATTRIBUTES) {
    CreateDirectoryA(paths.directory, nullptr);
  }

  wsprintfA(Current.lines, "インストール元　%s\nインストール先　%s\n", paths.source,
            paths.destination);
  show_progress(dialog, Current.lines);

  if (!safe || !paths.directory_fits) {
    report_failure(dialog, paths);
    if (safe) clear_read_only(paths.destination);
    ++CopyDoneCount;
    return;
  }
  Current.running = true;
  Current.cancelled = false;
  Current.started = Current.line_shown = GetTickCount();
  start_copy_job(dialog, kCopyEnded, paths.source, paths.destination, paths.directory);
}

// The end of a file's job, on the dialog's thread: its box, the read-only flag cleared as it
// always was, then the step counted, so the next tick starts the next file. A cancelled file
// ends the dialog instead, as Esc always did, with no message; the files after it are not copied.
void end_file(HWND dialog) {
  if (!Current.running || !copy_job_ended()) return;
  Current.running = false;
  CopyOutcome outcome = collect_copy_job();
  if (strcmp(Current.shown, Current.lines) != 0) show_progress(dialog, Current.lines);
  if (outcome != CopyOutcome::cancelled) {
    if (outcome != CopyOutcome::copied) report_failure(dialog, Current.paths);
    clear_read_only(Current.paths.destination);
  }
  if (Current.cancelled) {
    on_end(dialog, 0);
    return;
  }
  ++CopyDoneCount;
}

// A third line under the two, for a file that has taken more than about a second: how far it is,
// a few times a second. wsprintfA cuts the whole text at 1,024 bytes, as it does the two lines.
void show_how_far(HWND dialog) {
  DWORD now = GetTickCount();
  if (now - Current.started < kProgressLineAfterMs ||
      now - Current.line_shown < kProgressLineEveryMs) {
    return;
  }
  Current.line_shown = now;
  ProgressFigures figures = progress_figures(CurrentCopy.done.load(), CurrentCopy.total.load());
  char text[1024];
  wsprintfA(text, "%sコピー済み　%lu / %lu MB（%lu%%）", Current.lines, figures.done_mb,
            figures.total_mb, figures.percent);
  if (strcmp(text, Current.shown) != 0) show_progress(dialog, text);
}

// A cancelled job stops at its next chunk, a few milliseconds away; a medium that stalls inside
// one read must not hold the run longer. Its temporary stays marked for deletion, so the system
// removes it when the process ends, right after the dialog.
void stop_waiting(HWND dialog) {
  if (Current.cancelled && GetTickCount() - Current.cancelled_at >= kCancelWaitMs &&
      copy_job_may_be_left()) {
    on_end(dialog, 0);
  }
}

// The worker posts its end; the tick looks too, in case that message was lost.
void on_tick(HWND dialog) {
  if (Current.running) {
    if (copy_job_ended()) {
      end_file(dialog);
    } else {
      show_how_far(dialog);
      stop_waiting(dialog);
      return;
    }
  }
  if (!Current.cancelled && CopyDoneCount != CopyAckCount) {
    SendMessageA(dialog, WM_COMMAND, ID_COPY_STEP, static_cast<LPARAM>(CopyDoneCount));
  }
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
}

// Esc, the close box and Alt+F4. Between two files the dialog ends at once; during a file the
// job is asked to stop, and the dialog ends with it.
void on_cancel(HWND dialog) {
  if (!Current.running) {
    on_end(dialog, 0);
  } else if (!Current.cancelled) {
    Current.cancelled = true;
    Current.cancelled_at = GetTickCount();
    cancel_copy_job();
  }
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
    case kCopyEnded:
      end_file(dialog);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wparam)) {
        case ID_COPY_STEP:
          copy_step(dialog, static_cast<int32_t>(lparam));
          return FALSE;
        case IDOK:
          if (SelectionDone) on_end(dialog, 1);
          return TRUE;
        case IDCANCEL:
          on_cancel(dialog);
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}
