// Timing one update run: from the press of Start to the completion message.
#include "bench.h"

#include <cstdio>
#include <string>

#include "dialogs.h"
#include "environment.h"
#include "update_run.h"
#include "watchdog.h"

namespace e2e {

namespace {

// A large copy takes its time in one tick; the deadline is for a program that never ends.
constexpr DWORD kCopyTimeoutMs = 600000;

DWORD time_copy(const std::string& exe, const std::string& medium) {
  UpdateRun run(exe, medium);
  HWND update = run.expect(Screen::update_dialog);
  DWORD start = GetTickCount();
  press(update, IDOK);
  run.expect(Screen::filecopy_dialog);
  HWND done = run.expect(Screen::message_box, kCopyTimeoutMs);
  DWORD elapsed = GetTickCount() - start;
  if (control_text(done, kMessageBoxTextId) != "ＵＰＤＡＴＥが完了しました。") {
    fail("the run did not end with the completion message");
  }
  run.dismiss(done);
  run.wait_exit();
  return elapsed;
}

}  // namespace

int run_bench(int argc, char** argv) {
  if (argc != 2) {
    (void)fprintf(stderr, "usage: e2e_driver.exe --bench UPDATE.EXE MEDIUM-FOLDER\n");
    return 2;
  }
  start_watchdog();
  arm_watchdog("the benchmark");
  try {
    (void)printf("%lu\n", time_copy(argv[0], argv[1]));
  } catch (const DriverError& error) {
    (void)fprintf(stderr, "benchmark failed: %s\n", error.what());
    return 1;
  }
  return 0;
}

}  // namespace e2e
