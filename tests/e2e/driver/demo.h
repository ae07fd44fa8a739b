// One update run of the demo medium, driven the way a user would click through it.
#pragma once

namespace e2e {

// Arguments: update.exe, the medium folder, the folder for the screenshots. Returns the exit
// code for the driver.
int run_demo(int argc, char** argv);

}  // namespace e2e
