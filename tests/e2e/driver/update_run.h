// One run of update.exe under test: started on a medium, watched window by window until it ends.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

namespace e2e {

// The windows update.exe can show.
enum class Screen { message_box, update_dialog, filecopy_dialog, folder_browser };
const char* screen_name(Screen screen);
bool shows(HWND window, Screen screen);

struct MessageBoxText {
  std::string caption;
  std::string text;
  HWND owner;  // the window the box belongs to, or none
};

// Deadlines: a new Wine process takes up to about 3 s to show its first window when the Wine
// server is busy; no step of the program itself takes more than a fraction of a second.
constexpr DWORD kWindowTimeoutMs = 20000;
constexpr DWORD kExitTimeoutMs = 10000;

class UpdateRun {
 public:
  // Starts update.exe with the medium as its current directory and its standard output in a file.
  explicit UpdateRun(const std::string& medium_root);
  explicit UpdateRun(const std::string& exe, const std::string& medium_root);
  // The same from a folder given in UTF-16, as Explorer starts a program: a folder whose name
  // code page 932 can't hold.
  explicit UpdateRun(const std::string& exe, const std::wstring& medium_root);
  ~UpdateRun();
  UpdateRun(const UpdateRun&) = delete;
  UpdateRun& operator=(const UpdateRun&) = delete;

  // Waits for a window of this kind that the run has not shown before. Any other new window, the
  // end of the process or the deadline fails the test: the windows on screen are listed and the
  // process is killed. Windows already returned stay allowed on screen.
  HWND expect(Screen screen, DWORD timeout_ms = kWindowTimeoutMs);

  // Waits for a message box, reads its caption and text, and closes it with OK. With a shot name,
  // the box is photographed first when E2E_SHOTS asks for pictures.
  MessageBoxText take_message_box(const std::string& shot = "");
  void dismiss(HWND message_box);

  // Waits for a window of any kind that the run has not shown before and returns it, or null
  // once the program has ended (exit_code() then tells how). Fails when neither comes in time.
  HWND next_window(DWORD timeout_ms);
  DWORD exit_code() const { return exit_code_; }

  // Waits for the process to end, failing like expect() when a new window shows up instead.
  // Returns the exit code.
  DWORD wait_exit(DWORD timeout_ms = kExitTimeoutMs);

  // Watches the program for a while: it must show no new window and keep running. For what must
  // not happen while a window is held open.
  void expect_quiet(DWORD duration_ms);

  // What the program wrote to its standard output; complete once it has ended.
  std::string standard_output() const;

  // Ends the program at once, wherever it is.
  void kill();

  // Stops and restarts every thread of the program (the dialog's, and the worker that copies a
  // file), so that what is on screen and on disk holds still: to look at a state that lasts one
  // timer tick, or to count the files copied before an input goes in.
  void suspend();
  void resume();

  DWORD process_id() const { return process_.dwProcessId; }

 private:
  void start(const std::string& exe, const std::wstring& medium_root);
  HWND new_dialog();
  // Waits up to wait_ms for the process to end; true when it has.
  bool has_ended(DWORD wait_ms);
  std::string exit_code_text() const;
  [[noreturn]] void abort_run(const std::string& why);

  PROCESS_INFORMATION process_ = {};
  std::vector<HANDLE> suspended_;  // threads held by suspend()
  std::set<HWND> seen_;
  std::string output_path_;
  bool running_ = false;
  DWORD exit_code_ = 0;
};

}  // namespace e2e
