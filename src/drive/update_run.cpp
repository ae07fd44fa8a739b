// One run of update.exe, driven from outside; see update_run.h.
#include "update_run.h"

#include <tlhelp32.h>

#include "dialogs.h"
#include "error.h"
#include "files.h"

namespace drive {

namespace {

constexpr DWORD kPollMs = 10;

HANDLE create_output_file(const std::string& path) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) fail("cannot create " + path);
  return file;
}

// A job whose last handle, closed by Windows when this process ends (TerminateProcess too),
// ends every process in it.
HANDLE job_that_ends_with_us() {
  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  if (job == nullptr) return nullptr;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
    CloseHandle(job);
    return nullptr;
  }
  return job;
}

// The process's code page (932, as the manifest asks) in UTF-16.
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
  BOOL started =
      CreateProcessW(wide_of(exe).c_str(), command_line.data(), nullptr, nullptr, TRUE,
                     CREATE_SUSPENDED, nullptr, medium_root.c_str(), &startup, &process_);
  CloseHandle(output);
  if (!started) fail("cannot start " + exe + " (error " + std::to_string(GetLastError()) + ")");
  running_ = true;
  job_ = job_that_ends_with_us();
  // Windows 7 refuses a job to a process that is already in one (started from a console in a
  // job): the program then only ends when kill() is called.
  if (job_ != nullptr && !AssignProcessToJobObject(job_, process_.hProcess)) {
    CloseHandle(job_);
    job_ = nullptr;
  }
  ResumeThread(process_.hThread);
}

UpdateRun::~UpdateRun() {
  if (running_) kill();
  resume();
  if (job_ != nullptr) CloseHandle(job_);
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

void UpdateRun::dismiss(HWND message_box) {
  press(message_box, IDOK);
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

}  // namespace drive
