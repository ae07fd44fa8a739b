// Ctrl-C, Ctrl-Break and a closed console window (and a logoff or shutdown) while update-try runs.
// The console's handler runs on a thread of its own: it puts the registry back at once (a closed
// console gives the process 5 s), ends the program update-try started, and lets the main thread
// remove the copy of the game before the process ends as the event ends it.
#pragma once

#include <windows.h>

// Thrown on the main thread at the first step after an interrupt.
struct Interrupted {};

void watch_console_events();
bool interrupted();
// Throws Interrupted after an interrupt.
void stop_if_interrupted();

// The program running on update-try's behalf now (update-check, update.exe), ended by an
// interrupt; null when none. One that is set after an interrupt is ended at once.
void set_running_child(HANDLE process);

// The main thread has removed what it had to: ends the process as Windows ends it on a console
// event (STATUS_CONTROL_C_EXIT).
[[noreturn]] void end_interrupted_run();
