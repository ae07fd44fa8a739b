// update-check, run from update-try's own folder; see tool_run.h.
#include "tool_run.h"

#include <windows.h>

#include "disc/console.h"
#include "disc/system/command_line.h"
#include "interrupt.h"
#include "options.h"

namespace {

std::wstring wide_of(const std::string& utf8) {
  return std::filesystem::u8path(utf8).native();
}

struct Pipe {
  HANDLE read = nullptr;
  HANDLE write = nullptr;
  ~Pipe() {
    if (read != nullptr) CloseHandle(read);
    if (write != nullptr) CloseHandle(write);
  }
};

std::string without_carriage_returns(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' || i + 1 >= text.size() || text[i + 1] != '\n') out += text[i];
  }
  return out;
}

}  // namespace

std::filesystem::path program_beside(const wchar_t* name) {
  return program_folder() / name;
}

bool run_tool(const std::filesystem::path& exe, const std::vector<std::string>& args, ToolRun* run,
              std::string* error) {
  std::string command = quoted_argument(exe.u8string());
  for (const std::string& arg : args)
    command += " " + quoted_argument(arg);
  std::wstring command_line = wide_of(command);
  Pipe pipe;
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  if (!CreatePipe(&pipe.read, &pipe.write, &inherit, 0) ||
      !SetHandleInformation(pipe.read, HANDLE_FLAG_INHERIT, 0)) {
    *error = "cannot make a pipe";
    return false;
  }
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = pipe.write;
  startup.hStdError = pipe.write;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(exe.c_str(), command_line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &process)) {
    *error = "cannot start " + shown_path(exe) + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  set_running_child(process.hProcess);
  CloseHandle(pipe.write);
  pipe.write = nullptr;
  std::string output;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(pipe.read, chunk, sizeof chunk, &got, nullptr) && got > 0)
    output.append(chunk, got);
  WaitForSingleObject(process.hProcess, INFINITE);
  set_running_child(nullptr);
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  run->status = static_cast<int>(status);
  run->output = without_carriage_returns(output);
  return true;
}
