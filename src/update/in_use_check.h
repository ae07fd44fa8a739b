// Game files that another program holds open (the game itself, its launcher), found before the
// first copy: replacing the others would leave the game part old, part new.
#pragma once

#include "plan/copy_paths.h"
#include "restart_manager.h"

constexpr int kHeldFilesKept = 16;  // the paths kept, and asked about to the Restart Manager
constexpr int kProgramsNamed = 3;

struct FilesInUse {
  int file_count;  // game files another program holds, each counted once
  char files[kHeldFilesKept][kDirectoryPathWidth];  // the first of them, in copy order
  int program_count;
  char programs[kProgramsNamed][kProgramNameWidth];  // the programs holding them, where known
};

// Tries each game file that UpdatePlan replaces (the files it keeps, read-only, hidden or system,
// are not among them) the way the replace needs it, and fills *in_use. True when another program
// holds any of them.
bool find_files_in_use(FilesInUse* in_use);
