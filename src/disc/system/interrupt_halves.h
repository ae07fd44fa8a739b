// What the shared part of interrupts.h and its Linux and Windows halves give each other.
#pragma once

// Raises the flag, then runs the registered actions, the latest first. Each half calls it where
// it takes an interrupt, on a thread of its own where removing a tree is safe.
void run_interrupt_actions();
// The half starts taking interrupts, if it has not and watch_interrupts was called.
void start_taking_interrupts();
