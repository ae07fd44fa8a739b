// Pictures of update.exe's windows as they are on screen, for the README and for a human eye.
#pragma once

#include <windows.h>

#include <string>

#include "update_run.h"

namespace drive {

// Saves the window as it is on screen to <folder>\<name>.png. First waits until every control
// that holds text shows ink on screen: Wine paints and flushes a window a moment after it
// appears. The program's thread is held while the picture is taken, so a window that changes
// every timer tick (the copy progress) is caught whole.
void save_screenshot(UpdateRun& run, HWND window, const std::string& folder,
                     const std::string& name);

}  // namespace drive
