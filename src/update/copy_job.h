// The copy of one file as a job: it runs on a worker thread while the copy dialog goes on
// answering its messages, shows nothing, and says why it failed. One job at a time.
#pragma once

#include <atomic>
#include <cstdint>

#include "plan/copy_paths.h"
#include "platform/win32.h"

enum class CopyOutcome {
  copied,
  cancelled,          // stopped on request; the old file is as it was
  refused,            // a read-only, hidden or system game file, or a folder in its place
  source_unreadable,  // missing, a folder, or not to be opened
  no_temporary,       // no temporary file could be made beside the game file
  read_failed,        // the medium failed part-way
  write_failed,       // the disk failed or filled up part-way
  wrong_size,         // the source read short of (or beyond) its size
  flush_failed,       // the copy could not be written through to the disk
  replace_failed,     // the game file could not be replaced (held open since the check)
  too_long,           // a game file path of MAX_PATH bytes or more
};

struct CopyJob {
  char source[kCopyPathWidth];
  char destination[kCopyPathWidth];
  char folder[kDirectoryPathWidth];  // the destination's folder
  // A folder too long for a temporary name beside the file: the plain copy straight over the
  // game file, which is never stopped part-way.
  bool in_place;
  std::atomic<bool> cancel;
  std::atomic<bool> committing;  // the temporary is taking the game file's place
  std::atomic<uint64_t> total;   // the source's size, once it is open
  std::atomic<uint64_t> done;    // bytes written so far, for the progress line
  CopyOutcome outcome;           // set by the job as its last act
};
static_assert(std::atomic<uint64_t>::is_always_lock_free, "progress read without a lock");

extern CopyJob CurrentCopy;

// Copies source to destination (its folder given) on a worker thread, which posts message to
// window once the job has ended. Where no thread can be made, the job runs here, to its end,
// and posts the same message.
void start_copy_job(HWND window, UINT message, const char* source, const char* destination,
                    const char* folder);
bool copy_job_ended();  // the job has ended and its outcome is final
// Once copy_job_ended(): frees the worker and gives the outcome.
CopyOutcome collect_copy_job();
// Asks the job to stop at its next chunk. A plain copy over the game file goes on to its end.
void cancel_copy_job();
// Whether the process may end with the job still running and leave nothing behind: its
// temporary is marked for deletion until the moment it takes the game file's place.
bool copy_job_may_be_left();
