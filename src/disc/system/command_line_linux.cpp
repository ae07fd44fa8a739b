// The Linux half of command_line.h: argv as it is, and /proc for the program's path.
#include "command_line.h"

std::vector<std::string> command_line_utf8(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

std::filesystem::path program_folder() {
  std::error_code ec;
  return std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
}
