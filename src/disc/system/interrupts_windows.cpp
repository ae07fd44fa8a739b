// The Windows half of interrupts.h: the console's control handler.
#include "interrupts.h"

#include <windows.h>

#include "interrupt_halves.h"

namespace {

// Runs on a thread of its own. Returning FALSE hands the event to the default handler, which ends
// the process with STATUS_CONTROL_C_EXIT.
BOOL WINAPI on_console_event(DWORD) {
  run_interrupt_actions();
  return FALSE;
}

}  // namespace

void watch_interrupts() {
  SetConsoleCtrlHandler(on_console_event, TRUE);
}

void start_taking_interrupts() {}  // the console's handler runs from watch_interrupts on
