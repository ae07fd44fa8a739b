// The last line of defence against a hanging test: a thread that, when a test outlives its
// deadline, lists the windows of every update.exe still running, kills them and ends the driver.
#include "watchdog.h"

#include <cstdio>
#include <map>
#include <string>

#include "drive/dialogs.h"

namespace e2e {

namespace {

SRWLOCK Lock = SRWLOCK_INIT;      // ready without a call
std::map<HANDLE, DWORD> Watched;  // process handle -> process id
HANDLE Deadline = nullptr;        // a waitable timer, set while a test runs
std::string CurrentTest;
DWORD CurrentDeadlineMs = kTestDeadlineMs;

void kill_watched() {
  AcquireSRWLockExclusive(&Lock);
  for (const auto& [process, id] : Watched) {
    (void)printf("  update.exe (process %lu) on screen:%s\n", id,
                 drive::describe_dialogs(id).c_str());
    TerminateProcess(process, 99);
  }
  ReleaseSRWLockExclusive(&Lock);
}

DWORD WINAPI watch(void*) {
  WaitForSingleObject(Deadline, INFINITE);
  (void)printf("watchdog: %s did not end in %lu ms\n", CurrentTest.c_str(), CurrentDeadlineMs);
  kill_watched();
  (void)fflush(stdout);
  ExitProcess(3);
}

}  // namespace

void start_watchdog() {
  Deadline = CreateWaitableTimerA(nullptr, TRUE, nullptr);
  CloseHandle(CreateThread(nullptr, 0, watch, nullptr, 0, nullptr));
}

void arm_watchdog(const char* test_name, DWORD deadline_ms) {
  CurrentTest = test_name;
  CurrentDeadlineMs = deadline_ms;
  LARGE_INTEGER due;
  due.QuadPart = -static_cast<LONGLONG>(deadline_ms) * 10000;  // relative, in 100 ns
  SetWaitableTimer(Deadline, &due, 0, nullptr, nullptr, FALSE);
}

void disarm_watchdog() {
  CancelWaitableTimer(Deadline);
}

void watch_process(HANDLE process, DWORD process_id) {
  AcquireSRWLockExclusive(&Lock);
  Watched[process] = process_id;
  ReleaseSRWLockExclusive(&Lock);
}

void unwatch_process(HANDLE process) {
  AcquireSRWLockExclusive(&Lock);
  Watched.erase(process);
  ReleaseSRWLockExclusive(&Lock);
}

}  // namespace e2e
