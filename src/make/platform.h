// What update-make does differently on Windows: the command line, its own folder, and paths for
// the checker, which opens files with the "A" functions. The console is update-check's.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "check/console.h"

// The arguments as UTF-8. Windows gives them from the wide command line, so that any name
// arrives whatever the system's code page.
std::vector<std::string> command_line_utf8(int argc, char** argv);

// The folder this program was started from.
std::filesystem::path program_folder();

// A path in the bytes the platform's "A" file functions take (the system's code page on Windows).
// Empty when the path has no such form.
std::string platform_path(const std::filesystem::path& path);
