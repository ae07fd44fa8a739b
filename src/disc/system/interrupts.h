// Interrupted runs: SIGINT, SIGTERM and SIGHUP on Linux, Ctrl-C, Ctrl-Break and a closed console
// on Windows. What must be undone at an interrupt registers an action; the interrupt runs the
// actions, then ends the process as the signal would have.
#pragma once

// Call it first thing in main, before any thread is made.
void watch_interrupts();
// Whether an interrupt has come: a long write asks between its pieces, and gives up.
bool interrupt_pending();
// From now on an interrupt runs action before it ends the process. An action registered later
// runs first: a child process that writes into a temporary stops before the temporary is removed.
// Before the first action an interrupt ends the run at once, as it would any program; on Linux
// the thread that takes the signals starts with it (a process of two threads pays for every file
// query it makes: the kernel shares its table of open files, and a game's tens of thousands of
// files are compared before anything is made). Register from the main thread.
void at_interrupt(void (*action)());
