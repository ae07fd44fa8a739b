// The worker thread that runs one file's copy while the copy dialog answers its messages.
#include "copy_job.h"

#include <cstring>

#include "safe_copy.h"
#include "setuplist/text.h"
#include "plan/temp_names.h"

CopyJob CurrentCopy;

namespace {

HANDLE Worker = nullptr;  // the thread of the job under way, until it is collected
bool Running = false;     // a job started and not collected yet
HWND NotifyWindow = nullptr;
UINT NotifyMessage = 0;

// The job's last act is the message: by then its outcome is set and its handles are closed.
DWORD WINAPI run_copy_job(void*) {
  CurrentCopy.outcome = copy_file_safely(&CurrentCopy);
  PostMessageA(NotifyWindow, NotifyMessage, 0, 0);
  return 0;
}

}  // namespace

void start_copy_job(HWND window, UINT message, const char* source, const char* destination,
                    const char* folder) {
  copy_bounded(CurrentCopy.source, sizeof CurrentCopy.source, source);
  copy_bounded(CurrentCopy.destination, sizeof CurrentCopy.destination, destination);
  copy_bounded(CurrentCopy.folder, sizeof CurrentCopy.folder, folder);
  CurrentCopy.in_place = strlen(folder) > kTempFolderMost;
  CurrentCopy.cancel.store(false);
  CurrentCopy.committing.store(false);
  CurrentCopy.total.store(0);
  CurrentCopy.done.store(0);
  NotifyWindow = window;
  NotifyMessage = message;
  Running = true;
  // The default stack: the job keeps its chunk in static storage.
  Worker = CreateThread(nullptr, 0, run_copy_job, nullptr, 0, nullptr);
  if (Worker == nullptr) run_copy_job(nullptr);
}

bool copy_job_ended() {
  return Running && (Worker == nullptr || WaitForSingleObject(Worker, 0) == WAIT_OBJECT_0);
}

CopyOutcome collect_copy_job() {
  if (Worker != nullptr) {
    WaitForSingleObject(Worker, INFINITE);  // ended already: returns at once
    CloseHandle(Worker);
    Worker = nullptr;
  }
  Running = false;
  return CurrentCopy.outcome;
}

void cancel_copy_job() {
  CurrentCopy.cancel.store(true);
}

bool copy_job_may_be_left() {
  return Running && !CurrentCopy.in_place && !CurrentCopy.committing.load();
}
