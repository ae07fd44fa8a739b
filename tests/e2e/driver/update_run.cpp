// One run of update.exe under test; see update_run.h.
#include "update_run.h"

#include <gtest/gtest.h>

#include <exception>

#include "drive/dialogs.h"
#include "screenshot.h"
#include "watchdog.h"

namespace e2e {

namespace {

constexpr DWORD kPollMs = 10;

}  // namespace

UpdateRun::UpdateRun(const std::string& medium_root) : UpdateRun(update_exe(), medium_root) {}

UpdateRun::UpdateRun(const std::string& exe, const std::string& medium_root)
    : drive::UpdateRun(exe, medium_root) {
  watch_process(process(), process_id());
}

UpdateRun::UpdateRun(const std::string& exe, const std::wstring& medium_root)
    : drive::UpdateRun(exe, medium_root) {
  watch_process(process(), process_id());
}

UpdateRun::~UpdateRun() {
  if (running() && std::uncaught_exceptions() == 0) {
    ADD_FAILURE() << "update.exe is still running at the end of the test; on screen:"
                  << describe_dialogs(process_id());
  }
  if (running()) kill();
  unwatch_process(process());
}

HWND UpdateRun::expect(Screen screen, DWORD timeout_ms) {
  std::string waiting = std::string("waiting for ") + screen_name(screen);
  ULONGLONG deadline = GetTickCount64() + timeout_ms;
  while (GetTickCount64() < deadline) {
    // The copy dialog and the box of its first failed file can both come between two polls:
    // the window asked for is taken, and the other stays new for the next wait.
    // A modal dialog is shown only once its message queue first runs dry; on a busy machine the
    // copy dialog's first tick is already due by then, and the box of a failed file comes up with
    // its owner, the dialog asked for, still hidden. The owner is taken: it is on its way.
    bool other = false;
    for (HWND window : visible_dialogs(process_id())) {
      if (seen_.count(window) != 0) continue;
      if (!shows(window, screen)) {
        HWND owner = GetWindow(window, GW_OWNER);
        if (owner != nullptr && seen_.count(owner) == 0 && shows(owner, screen)) {
          seen_.insert(owner);
          return owner;
        }
        other = true;
        continue;
      }
      seen_.insert(window);
      return window;
    }
    if (other) abort_run(waiting + ", another window came");
    if (has_ended(kPollMs)) fail(waiting + ", the program ended" + exit_code_text());
  }
  abort_run(waiting + ", none came in " + std::to_string(timeout_ms) + " ms");
}

MessageBoxText UpdateRun::take_message_box(const std::string& shot) {
  HWND box = expect(Screen::message_box);
  if (!shot.empty()) screenshot_if_wanted(*this, box, shot);
  MessageBoxText read{window_text(box), control_text(box, kMessageBoxTextId),
                      GetWindow(box, GW_OWNER)};
  dismiss(box);
  return read;
}

DWORD UpdateRun::wait_exit(DWORD timeout_ms) {
  ULONGLONG deadline = GetTickCount64() + timeout_ms;
  while (GetTickCount64() < deadline) {
    if (has_ended(kPollMs)) return exit_code();
    if (new_dialog() != nullptr) abort_run("waiting for the program to end, a window came");
  }
  abort_run("the program did not end in " + std::to_string(timeout_ms) + " ms");
}

void UpdateRun::expect_quiet(DWORD duration_ms) {
  ULONGLONG end = GetTickCount64() + duration_ms;
  while (GetTickCount64() < end) {
    if (new_dialog() != nullptr) abort_run("a window came while none should");
    if (has_ended(kPollMs))
      fail("the program ended while it should have waited" + exit_code_text());
  }
}

}  // namespace e2e
