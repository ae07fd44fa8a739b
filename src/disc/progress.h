// The line update-make keeps rewriting on a console while long work goes on: the phase, the bytes
// done of the total and the file under way. It shows only while a ProgressLine is open, on a
// console (standard output and standard error both), once the work has lasted about a second.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// Draws the line from a thread of its own while it lives, and takes it off the console when it
// goes. With wanted false (--json) or off a console it draws nothing.
class ProgressLine {
 public:
  explicit ProgressLine(bool wanted);
  ~ProgressLine() { stop(); }
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;
  // Ends the line before the result is printed.
  void stop();
};

// A new phase ("copying") and the bytes it works through (0: none counted). Every call from here
// on may come from any thread, and does nothing while no line is open.
void progress_phase(const char* phase, uint64_t total);
// The file under way (UTF-8, as messages show it).
void progress_file(const std::string& name);
void progress_add(uint64_t bytes);

// Writes text to stream with the line taken off first; the line comes back below it.
bool write_beside_progress(FILE* stream, std::string_view text);

// The line itself: "phase: done of total unit  file", at most columns - 1 wide (a line as wide as
// a Windows console wraps), the file cut at its start when it doesn't fit.
std::string progress_text(std::string_view phase, uint64_t done, uint64_t total,
                          std::string_view file, size_t columns);
