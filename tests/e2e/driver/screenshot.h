// Pictures of update.exe's windows in the tests, for the README: into E2E_SHOTS when it is set.
#pragma once

#include <windows.h>

#include <string>

#include "drive/screenshot.h"
#include "update_run.h"

namespace e2e {

// A picture of the window as <name>.png in E2E_SHOTS; nothing when it is not set.
void screenshot_if_wanted(UpdateRun& run, HWND window, const std::string& name);

}  // namespace e2e
