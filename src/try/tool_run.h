// update-check, run from update-try's own folder: what it prints and how it ends.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct ToolRun {
  int status = 0;
  std::string output;  // standard output and error together, UTF-8, LF line ends
};

// The program beside update-try.exe of this name.
std::filesystem::path program_beside(const wchar_t* name);

// Runs the program with the arguments (UTF-8) and waits for it. False, with why in *error, when
// it cannot be started.
bool run_tool(const std::filesystem::path& exe, const std::vector<std::string>& args, ToolRun* run,
              std::string* error);
