// The last line of defence against a hanging test: a thread that, when a test outlives its
// deadline, lists the windows of every update.exe still running, kills them and ends the driver.
#pragma once

#include <windows.h>

namespace e2e {

// Each wait of a test has its own, shorter deadline; this one catches anything they miss.
constexpr DWORD kTestDeadlineMs = 120000;

void start_watchdog();
void arm_watchdog(const char* test_name,
                  DWORD deadline_ms = kTestDeadlineMs);  // at the start of each test
void disarm_watchdog();

// The processes to kill when the deadline passes.
void watch_process(HANDLE process, DWORD process_id);
void unwatch_process(HANDLE process);

}  // namespace e2e
