// Ctrl-C and a closed console while update-try runs; see interrupt.h.
#include "interrupt.h"

#include <atomic>

#include "put_back.h"
#include "say.h"

namespace {

std::atomic<bool> Interrupt{false};
std::atomic<HANDLE> Child{nullptr};
HANDLE MainDone = nullptr;  // set by the main thread once the copy is dealt with

// Longer than a copy of the game can take to remove, shorter than forever: after it the process
// ends with whatever is left (the journal then names the copy for the next start).
constexpr DWORD kCleanupWaitMs = 60000;

// The process ends here, with the status Windows' own handler gives: Wine's gives 0, which would
// tell a script the run went well.
BOOL WINAPI on_console_event(DWORD) {
  say(put_back_registry());
  Interrupt = true;
  if (HANDLE child = Child.load()) TerminateProcess(child, 1);
  WaitForSingleObject(MainDone, kCleanupWaitMs);
  ExitProcess(STATUS_CONTROL_C_EXIT);
}

}  // namespace

void watch_console_events() {
  MainDone = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(on_console_event, TRUE);
}

bool interrupted() {
  return Interrupt;
}

void stop_if_interrupted() {
  if (Interrupt) throw Interrupted();
}

void set_running_child(HANDLE process) {
  Child = process;
  if (process != nullptr && Interrupt) TerminateProcess(process, 1);
}

void end_interrupted_run() {
  SetEvent(MainDone);
  ExitProcess(STATUS_CONTROL_C_EXIT);
}
