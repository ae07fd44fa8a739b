// The temporaries of a run (update-make's folder and image being made): removed when an interrupt
// comes (interrupts.h).
#pragma once

#include <filesystem>
#include <mutex>

void track_temporary(const std::filesystem::path& path);
void untrack_temporary(const std::filesystem::path& path);
// Writes into the temporaries are made under this lock, so that none comes after their removal;
// a long write asks interrupt_pending between its pieces and gives the lock up when it is
// (Windows gives a closed console's program 5 s). Once an interrupt has come it never returns:
// the interrupt ends the run.
std::unique_lock<std::mutex> temporaries_lock();
// This process's id, which makes a temporary's name unique to the run.
unsigned long process_id();
