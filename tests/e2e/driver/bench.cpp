// Timing the copy: an update run from the press of Start to the completion message, and a bare
// CopyFileA of the same files, each flushed to disk as the update flushes its copies.
#include "bench.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "drive/dialogs.h"
#include "environment.h"
#include "update_run.h"
#include "watchdog.h"

namespace e2e {

namespace {

// A large copy takes its time in one tick; the deadline is for a program that never ends.
constexpr DWORD kCopyTimeoutMs = 600000;

// Milliseconds since an earlier reading of the performance counter.
unsigned long elapsed_ms(const LARGE_INTEGER& start) {
  LARGE_INTEGER now;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<unsigned long>((now.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart);
}

// Wall-clock milliseconds since 1970, to set beside the times of the copied files.
unsigned long long unix_ms() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER ticks;  // 100 ns since 1601
  ticks.LowPart = now.dwLowDateTime;
  ticks.HighPart = now.dwHighDateTime;
  return (ticks.QuadPart - 116444736000000000ULL) / 10000;
}

struct CopyTiming {
  unsigned long elapsed_ms;
  unsigned long long start_unix_ms;  // the press of Start
  unsigned long long end_unix_ms;    // the completion message seen
  unsigned long longest_ms;          // the longest wait for an answer of the copy dialog
};

// While the copy runs, only the copy dialog is watched. A look at every window each 10 ms, as
// expect() takes, costs the driver and the Wine server about a tenth of the copy's own CPU time,
// which they would take from the copy on a machine of two cores. With probe, the dialog is also
// asked for nothing (WM_NULL) every 20 ms, as another program would, and each answer timed.
unsigned long wait_for_copy_end(HWND copy, bool probe) {
  ULONGLONG deadline = GetTickCount64() + kCopyTimeoutMs;
  ULONGLONG longest = 0;
  while (IsWindow(copy)) {
    if (GetTickCount64() > deadline) fail("the copy did not end in time");
    if (probe) {
      ULONGLONG asked = GetTickCount64();
      DWORD_PTR result = 0;
      if (SendMessageTimeoutA(copy, WM_NULL, 0, 0, SMTO_NORMAL, kCopyTimeoutMs, &result)) {
        longest = std::max(longest, GetTickCount64() - asked);
      }
    }
    Sleep(probe ? 20 : 10);
  }
  return static_cast<unsigned long>(longest);
}

CopyTiming time_copy(const std::string& exe, const std::string& medium, bool probe) {
  UpdateRun run(exe, medium);
  HWND update = run.expect(Screen::update_dialog);
  CopyTiming timing = {0, unix_ms(), 0, 0};
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  press(update, IDOK);
  timing.longest_ms = wait_for_copy_end(run.expect(Screen::filecopy_dialog), probe);
  HWND done = run.expect(Screen::message_box);
  timing.elapsed_ms = elapsed_ms(start);
  timing.end_unix_ms = unix_ms();
  if (control_text(done, kMessageBoxTextId) != "ＵＰＤＡＴＥが完了しました。") {
    fail("the run did not end with the completion message");
  }
  run.dismiss(done);
  if (DWORD code = run.wait_exit(); code != 1) {
    fail("update.exe ended with exit code " + std::to_string(code));
  }
  return timing;
}

// As the update does before it renames a copy into place: a handle with write access, flushed.
bool flush_to_disk(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool flushed = FlushFileBuffers(file) != FALSE;
  return CloseHandle(file) != FALSE && flushed;
}

}  // namespace

int run_bench(int argc, char** argv) {
  const bool probe = argc == 3 && strcmp(argv[2], "--probe") == 0;
  if (argc != 2 && !probe) {
    (void)fprintf(stderr, "usage: e2e_driver.exe --bench UPDATE.EXE MEDIUM-FOLDER [--probe]\n");
    return 2;
  }
  start_watchdog();
  arm_watchdog("the benchmark");
  try {
    CopyTiming timing = time_copy(argv[0], argv[1], probe);
    (void)printf("%lu %llu %llu", timing.elapsed_ms, timing.start_unix_ms, timing.end_unix_ms);
    if (probe) (void)printf(" %lu", timing.longest_ms);
    (void)printf("\n");
  } catch (const DriverError& error) {
    (void)fprintf(stderr, "benchmark failed: %s\n", error.what());
    return 1;
  }
  return 0;
}

int run_copyfile(int argc, char** argv) {
  if (argc != 2) {
    (void)fprintf(stderr, "usage: e2e_driver.exe --copyfile SOURCE-FOLDER DESTINATION-FOLDER\n");
    return 2;
  }
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((std::string(argv[0]) + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    (void)fprintf(stderr, "cannot list %s\n", argv[0]);
    return 1;
  }
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
      names.emplace_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());

  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  for (const std::string& name : names) {
    std::string from = std::string(argv[0]) + "\\" + name;
    std::string to = std::string(argv[1]) + "\\" + name;
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE) || !flush_to_disk(to)) {
      (void)fprintf(stderr, "cannot copy %s (error %lu)\n", from.c_str(), GetLastError());
      return 1;
    }
  }
  (void)printf("%lu\n", elapsed_ms(start));
  return 0;
}

}  // namespace e2e
