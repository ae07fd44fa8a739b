// Pictures of update.exe's windows in the tests; see screenshot.h.
#include "screenshot.h"

namespace e2e {

void screenshot_if_wanted(UpdateRun& run, HWND window, const std::string& name) {
  std::string folder = shots_folder();
  if (!folder.empty()) save_screenshot(run, window, folder, name);
}

}  // namespace e2e
