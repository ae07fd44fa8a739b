// One run of update.exe, driven from outside: started on a medium, watched window by window until
// it ends.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

namespace drive {

// The windows update.exe can show.
enum class Screen { message_box, update_dialog, filecopy_dialog, folder_browser };
const char* screen_name(Screen screen);
bool shows(HWND window, Screen screen);

// Deadlines: a new Wine process takes up to about 3 s to show its first window when the Wine
// server is busy; no step of the program itself takes more than a fraction of a second.
constexpr DWORD kWindowTimeoutMs = 20000;
constexpr DWORD kExitTimeoutMs = 10000;

class UpdateRun {
 public:
  // Starts update.exe with the medium as its current directory and its standard output in a
  // file. The program lives in a job that ends it when this process ends, however that comes.
  UpdateRun(const std::string& exe, const std::string& medium_root);
  // The same from a folder given in UTF-16, as Explorer starts a program: one whose path code
  // page 932 can't hold.
  UpdateRun(const std::string& exe, const std::wstring& medium_root);
  virtual ~UpdateRun();
  UpdateRun(const UpdateRun&) = delete;
  UpdateRun& operator=(const UpdateRun&) = delete;

  // Waits for a window of any kind that the run has not shown before and returns it, or null
  // once the program has ended (exit_code() then tells how). Fails when neither comes in time.
  HWND next_window(DWORD timeout_ms);
  DWORD exit_code() const { return exit_code_; }
  bool running() const { return running_; }

  // Closes a message box with OK.
  void dismiss(HWND message_box);

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
  HANDLE process() const { return process_.hProcess; }

 protected:
  // The first visible dialog of the process that no earlier step has seen.
  HWND new_dialog();
  // Waits up to wait_ms for the process to end; true when it has.
  bool has_ended(DWORD wait_ms);
  std::string exit_code_text() const;
  // Lists what is on screen, kills the program and fails.
  [[noreturn]] void abort_run(const std::string& why);

  std::set<HWND> seen_;

 private:
  void start(const std::string& exe, const std::wstring& medium_root);

  PROCESS_INFORMATION process_ = {};
  std::vector<HANDLE> suspended_;  // threads held by suspend()
  HANDLE job_ = nullptr;
  std::string output_path_;
  bool running_ = false;
  DWORD exit_code_ = 0;
};

}  // namespace drive
