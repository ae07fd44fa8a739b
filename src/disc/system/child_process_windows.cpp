// The Windows half of child_process.h: the Windows build starts no program.
#include "child_process.h"

bool runs_programs() {
  return false;
}

bool program_on_path(const std::string&) {
  return false;
}

int run_program(const std::vector<std::string>&, const std::filesystem::path&) {
  return 127;
}
