// The programs a tool runs (update-make runs xorriso for an image). An interrupt stops the one
// running with the run.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Whether this build starts other programs (the Windows build starts none), and whether one of
// that name is on the PATH.
bool runs_programs();
bool program_on_path(const std::string& name);
// Runs a program with an argument vector of its own (never through a shell), its output and
// errors written to log, and waits for it. Its exit status, 127 when it can't be started, -1 when
// it can't be waited for.
int run_program(const std::vector<std::string>& args, const std::filesystem::path& log);
