// One update run of the demo medium, driven the way a user would click through it.
#include "demo.h"

#include <cstdio>
#include <string>

#include "bytes.h"
#include "dialogs.h"
#include "environment.h"
#include "screenshot.h"
#include "update_run.h"
#include "watchdog.h"

namespace e2e {

namespace {

void say(const char* what, const std::string& cp932) {
  (void)printf("  %s: %s\n", what, utf8_of(cp932).c_str());
  (void)fflush(stdout);
}

void click_through(const std::string& exe, const std::string& medium, const std::string& shots) {
  UpdateRun run(exe, medium);
  HWND update = run.expect(Screen::update_dialog);
  say("dialog", window_text(update));
  say("folder", control_text(update, 1001));
  save_screenshot(run, update, shots, "1-update-dialog");
  press(update, IDOK);

  HWND copy = run.expect(Screen::filecopy_dialog);
  wait_for_text(copy, 1009, kWindowTimeoutMs);
  save_screenshot(run, copy, shots, "2-filecopy-dialog");
  say("dialog", window_text(copy));

  HWND done = run.expect(Screen::message_box);
  say("message box", window_text(done) + " / " + control_text(done, kMessageBoxTextId));
  save_screenshot(run, done, shots, "3-complete");
  run.dismiss(done);
  (void)printf("  update.exe ended with exit code %lu\n", run.wait_exit());
}

}  // namespace

int run_demo(int argc, char** argv) {
  if (argc != 3) {
    (void)fprintf(stderr, "usage: e2e_driver.exe --demo UPDATE.EXE MEDIUM-FOLDER SHOTS-FOLDER\n");
    return 2;
  }
  start_watchdog();
  arm_watchdog("the demo");
  try {
    click_through(argv[0], argv[1], argv[2]);
  } catch (const DriverError& error) {
    (void)fprintf(stderr, "demo failed: %s\n", error.what());
    return 1;
  }
  return 0;
}

}  // namespace e2e
