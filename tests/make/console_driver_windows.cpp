// console_driver: starts a tool as Explorer starts it, in a console of its own, and tells what
// that console shows and whether the tool waited for a key before it ended.
//
// usage: console_driver.exe TOOL [ARG...]
// Prints the console's text (UTF-8, blanks at the ends of lines dropped), then "waited" or "did
// not wait", then "exit N". Status 0 when it could tell, 2 when it could not drive the tool.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

namespace {

std::string utf8(const std::wstring& wide) {
  if (wide.empty()) return "";
  int len = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                nullptr, nullptr);
  std::string out(static_cast<size_t>(len), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), len,
                      nullptr, nullptr);
  return out;
}

// Each argument in double quotes, as Explorer passes a dropped path.
std::wstring command_line(int argc, wchar_t** argv) {
  std::wstring line;
  for (int i = 1; i < argc; ++i)
    line += (i > 1 ? L" \"" : L"\"") + std::wstring(argv[i]) + L"\"";
  return line;
}

bool running(HANDLE process) {
  return WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
}

uint64_t cpu_time(HANDLE process) {
  FILETIME created, ended, kernel, user;
  if (!GetProcessTimes(process, &created, &ended, &kernel, &user)) return 0;
  return (uint64_t{kernel.dwHighDateTime} << 32 | kernel.dwLowDateTime) +
         (uint64_t{user.dwHighDateTime} << 32 | user.dwLowDateTime);
}

// The tool asks at its start whether its console holds it alone: attaching sooner would make it
// two. It has started once it uses no processor time for a second (it waits for the key, or
// it has ended).
void wait_until_idle(HANDLE process) {
  uint64_t last = cpu_time(process);
  int still = 0;
  for (int i = 0; i < 600 && still < 10 && running(process); ++i) {
    Sleep(100);
    uint64_t now = cpu_time(process);
    still = now == last ? still + 1 : 0;
    last = now;
  }
}

std::wstring screen_text() {
  HANDLE out = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (out == INVALID_HANDLE_VALUE) return L"";
  CONSOLE_SCREEN_BUFFER_INFO info;
  std::wstring text;
  if (GetConsoleScreenBufferInfo(out, &info)) {
    SHORT width = info.dwSize.X;
    std::vector<wchar_t> row(static_cast<size_t>(width));
    for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
      DWORD got = 0;
      ReadConsoleOutputCharacterW(out, row.data(), static_cast<DWORD>(width), COORD{0, y}, &got);
      std::wstring line(row.data(), got);
      line.erase(line.find_last_not_of(L' ') + 1);
      text += line + L"\n";
    }
  }
  CloseHandle(out);
  return text;
}

bool press_key() {
  HANDLE in = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (in == INVALID_HANDLE_VALUE) return false;
  INPUT_RECORD keys[2] = {};
  for (int i = 0; i < 2; ++i) {
    keys[i].EventType = KEY_EVENT;
    keys[i].Event.KeyEvent.bKeyDown = i == 0;
    keys[i].Event.KeyEvent.wRepeatCount = 1;
    keys[i].Event.KeyEvent.wVirtualKeyCode = 'A';
    keys[i].Event.KeyEvent.uChar.UnicodeChar = L'a';
  }
  DWORD put = 0;
  bool ok = WriteConsoleInputW(in, keys, 2, &put) && put == 2;
  CloseHandle(in);
  return ok;
}

void say(HANDLE out, const std::string& text) {
  DWORD put = 0;
  WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &put, nullptr);
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  HANDLE report = GetStdHandle(STD_OUTPUT_HANDLE);
  if (argv == nullptr || argc < 2) {
    say(report, "usage: console_driver.exe TOOL [ARG...]\n");
    return 2;
  }
  std::wstring line = command_line(argc, argv);
  STARTUPINFOW start = {};
  start.cb = sizeof start;
  PROCESS_INFORMATION child = {};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                      nullptr, &start, &child)) {
    say(report, "cannot start the tool: error " + std::to_string(GetLastError()) + "\n");
    return 2;
  }
  CloseHandle(child.hThread);
  wait_until_idle(child.hProcess);
  FreeConsole();
  bool attached = running(child.hProcess) && AttachConsole(child.dwProcessId);
  std::wstring text = attached ? screen_text() : L"";
  bool waited = attached && running(child.hProcess);
  if (waited && !press_key()) say(report, "cannot press a key\n");
  if (WaitForSingleObject(child.hProcess, 20000) != WAIT_OBJECT_0) {
    TerminateProcess(child.hProcess, 3);
    say(report, utf8(text) + "still running after the key\n");
    return 2;
  }
  DWORD status = 0;
  GetExitCodeProcess(child.hProcess, &status);
  CloseHandle(child.hProcess);
  say(report, utf8(text) + (waited ? "waited\n" : "did not wait\n") + "exit " +
                  std::to_string(status) + "\n");
  return 0;
}
