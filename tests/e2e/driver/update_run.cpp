// One run of update.exe under test: started on a medium, watched window by window until it ends.
#include "update_run.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <exception>

#include "dialogs.h"
#include "environment.h"
#include "files.h"
#include "screenshot.h"
#include "watchdog.h"

namespace e2e {

namespace {

constexpr DWORD kPollMs = 10;

HANDLE create_output_file(const std::string& path) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) fail("cannot create " + path);
  return file;
}

// Code page 932 (the driver's manifest asks for it) in UTF-16.
std::wstring wide_of(const std::string& text) {
  std::wstring wide(text.size() + 1, L'\0');
  wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(),
                                                      static_cast<int>(wide.size()))));
  if (!wide.empty()) wide.pop_back();  // the terminator
  return wide;
}

}  // namespace

bool shows(HWND window, Screen screen) {
  switch (screen) {
    case Screen::message_box:
      return is_message_box(window);
    case Screen::update_dialog:
      return GetDlgItem(window, 1001) != nullptr && GetDlgItem(window, 1000) != nullptr;
    case Screen::filecopy_dialog:
      return GetDlgItem(window, 1009) != nullptr;
    case Screen::folder_browser:
      return FindWindowExA(window, nullptr, "SysTreeView32", nullptr) != nullptr;
  }
  return false;
}

const char* screen_name(Screen screen) {
  switch (screen) {
    case Screen::message_box:
      return "a message box";
    case Screen::update_dialog:
      return "the UPDATE dialog";
    case Screen::filecopy_dialog:
      return "the FILECOPY dialog";
    case Screen::folder_browser:
      return "the folder browser";
  }
  return "?";
}

UpdateRun::UpdateRun(const std::string& medium_root) {
  start(update_exe(), wide_of(medium_root));
}

UpdateRun::UpdateRun(const std::string& exe, const std::string& medium_root) {
  start(exe, wide_of(medium_root));
}

UpdateRun::UpdateRun(const std::string& exe, const std::wstring& medium_root) {
  start(exe, medium_root);
}

void UpdateRun::start(const std::string& exe, const std::wstring& medium_root) {
  char folder[MAX_PATH];
  char path[MAX_PATH];
  if (!GetTempPathA(MAX_PATH, folder) || !GetTempFileNameA(folder, "out", 0, path)) {
    fail("cannot make a file for the standard output");
  }
  output_path_ = path;
  HANDLE output = create_output_file(output_path_);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = output;
  startup.hStdError = output;
  std::wstring command_line = L"\"" + wide_of(exe) + L"\"";
  BOOL started = CreateProcessW(wide_of(exe).c_str(), command_line.data(), nullptr, nullptr, TRUE,
                                0, nullptr, medium_root.c_str(), &startup, &process_);
  CloseHandle(output);
  if (!started) fail("cannot start " + exe + " (error " + std::to_string(GetLastError()) + ")");
  running_ = true;
  watch_process(process_.hProcess, process_.dwProcessId);
}

UpdateRun::~UpdateRun() {
  if (running_ && std::uncaught_exceptions() == 0) {
    ADD_FAILURE() << "update.exe is still running at the end of the test; on screen:"
                  << describe_dialogs(process_.dwProcessId);
  }
  if (running_) kill();
  resume();
  unwatch_process(process_.hProcess);
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
  DeleteFileA(output_path_.c_str());
}

void UpdateRun::kill() {
  resume();
  TerminateProcess(process_.hProcess, 99);
  WaitForSingleObject(process_.hProcess, 5000);
  running_ = false;
}

void UpdateRun::abort_run(const std::string& why) {
  std::string report = why + "; on screen:" + describe_dialogs(process_.dwProcessId);
  kill();
  fail(report);
}

bool UpdateRun::has_ended(DWORD wait_ms) {
  if (WaitForSingleObject(process_.hProcess, wait_ms) != WAIT_OBJECT_0) return false;
  running_ = false;
  GetExitCodeProcess(process_.hProcess, &exit_code_);
  return true;
}

std::string UpdateRun::exit_code_text() const {
  return " (exit code " + std::to_string(exit_code_) + ")";
}

// The first visible dialog of the process that no earlier step has seen.
HWND UpdateRun::new_dialog() {
  for (HWND window : visible_dialogs(process_.dwProcessId)) {
    if (seen_.count(window) == 0) return window;
  }
  return nullptr;
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
    for (HWND window : visible_dialogs(process_.dwProcessId)) {
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

HWND UpdateRun::next_window(DWORD timeout_ms) {
  ULONGLONG deadline = GetTickCount64() + timeout_ms;
  while (GetTickCount64() < deadline) {
    if (HWND window = new_dialog()) {
      seen_.insert(window);
      return window;
    }
    if (has_ended(kPollMs)) return nullptr;
  }
  abort_run("no new window and no end in " + std::to_string(timeout_ms) + " ms");
}

MessageBoxText UpdateRun::take_message_box(const std::string& shot) {
  HWND box = expect(Screen::message_box);
  if (!shot.empty()) screenshot_if_wanted(*this, box, shot);
  MessageBoxText read{window_text(box), control_text(box, kMessageBoxTextId),
                      GetWindow(box, GW_OWNER)};
  dismiss(box);
  return read;
}

void UpdateRun::dismiss(HWND message_box) {
  press(message_box, IDOK);
}

DWORD UpdateRun::wait_exit(DWORD timeout_ms) {
  ULONGLONG deadline = GetTickCount64() + timeout_ms;
  while (GetTickCount64() < deadline) {
    if (has_ended(kPollMs)) return exit_code_;
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

std::string UpdateRun::standard_output() const {
  return read_file(output_path_);
}

// Every thread the process has now, from a snapshot of the system's threads. A thread that starts
// after the snapshot is not held; update.exe starts its worker only from its dialog's thread,
// which is held by then.
void UpdateRun::suspend() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) fail("cannot list the threads of update.exe");
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID != process_.dwProcessId) continue;
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID);
    if (thread == nullptr) continue;  // ended since the snapshot
    if (SuspendThread(thread) == static_cast<DWORD>(-1)) {
      CloseHandle(thread);
      continue;
    }
    suspended_.push_back(thread);
  }
  CloseHandle(snapshot);
  if (suspended_.empty()) fail("cannot suspend update.exe");
}

void UpdateRun::resume() {
  for (HANDLE thread : suspended_) {
    ResumeThread(thread);
    CloseHandle(thread);
  }
  suspended_.clear();
}

}  // namespace e2e
