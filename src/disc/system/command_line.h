// The tool's arguments and the folder it was started from.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The arguments as UTF-8. Windows gives them from the wide command line, so that any name
// arrives whatever the system's code page (its 8-bit command line holds a best-fit "Jose").
std::vector<std::string> command_line_utf8(int argc, char** argv);

// The folder this program was started from.
std::filesystem::path program_folder();
