// Timing the copy: one update run from the press of Start to the completion message, and the
// same files copied by a bare CopyFileA and flushed to disk, the floor for a durable copy made
// with it.
#pragma once

namespace e2e {

// Arguments: update.exe, the medium folder, and --probe or nothing. Prints the milliseconds from
// the press of Start to the completion message, then the wall-clock times of both in
// milliseconds since 1970 (to set beside the times of the copied files), and with --probe the
// longest the copy dialog took to answer a message sent every 20 ms. Returns the exit code for
// the driver.
int run_bench(int argc, char** argv);

// Arguments: a source folder, a destination folder. Copies every file of the source folder, in
// name order, with CopyFileA (replacing, as the update does), flushes each copy to disk as the
// update does, and prints the milliseconds.
int run_copyfile(int argc, char** argv);

}  // namespace e2e
