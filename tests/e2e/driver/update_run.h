// One run of update.exe under test: started on a medium, watched window by window until it ends,
// with the waits a test makes and the watchdog's eye on it.
#pragma once

#include <windows.h>

#include <string>

#include "drive/update_run.h"
#include "environment.h"

namespace e2e {

struct MessageBoxText {
  std::string caption;
  std::string text;
  HWND owner;  // the window the box belongs to, or none
};

class UpdateRun : public drive::UpdateRun {
 public:
  // Starts the update.exe under test (E2E_UPDATE_EXE), or another one, on the medium.
  explicit UpdateRun(const std::string& medium_root);
  UpdateRun(const std::string& exe, const std::string& medium_root);
  // From a folder given in UTF-16 (one whose path code page 932 can't hold).
  UpdateRun(const std::string& exe, const std::wstring& medium_root);
  // A run still going at the end of a test that did not fail is a failure of its own.
  ~UpdateRun() override;

  // Waits for a window of this kind that the run has not shown before. Any other new window, the
  // end of the process or the deadline fails the test: the windows on screen are listed and the
  // process is killed. Windows already returned stay allowed on screen.
  HWND expect(Screen screen, DWORD timeout_ms = kWindowTimeoutMs);

  // Waits for a message box, reads its caption and text, and closes it with OK. With a shot name,
  // the box is photographed first when E2E_SHOTS asks for pictures.
  MessageBoxText take_message_box(const std::string& shot = "");

  // Waits for the process to end, failing like expect() when a new window shows up instead.
  // Returns the exit code.
  DWORD wait_exit(DWORD timeout_ms = kExitTimeoutMs);

  // Watches the program for a while: it must show no new window and keep running. For what must
  // not happen while a window is held open.
  void expect_quiet(DWORD duration_ms);
};

}  // namespace e2e
