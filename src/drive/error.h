// How the code that drives update.exe's windows gives up: a window that never came, an
// unexpected one, a file that could not be written.
#pragma once

#include <stdexcept>
#include <string>

namespace drive {

// Thrown by a step that cannot go on. A test reports it as its failure; update-try records it
// and ends the run.
struct DriverError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

[[noreturn]] void fail(const std::string& why);

}  // namespace drive
