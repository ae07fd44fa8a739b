// Timing one update run: from the press of Start to the completion message.
#pragma once

namespace e2e {

// Arguments: update.exe, the medium folder. Prints the milliseconds the copy took. Returns the
// exit code for the driver.
int run_bench(int argc, char** argv);

}  // namespace e2e
