// Helpers shared by the unit tests: temporary files, and parsing a setup list given as bytes.
#pragma once

#include "case_name.h"

#include <string>
#include <vector>

// A path in the temporary folder that no other test of this run uses.
std::string unique_temp_path(const std::string& stem);
void write_bytes(const std::string& path, const std::string& bytes);
std::string read_bytes(const std::string& path);

// Parses bytes as the setup list, starting from the built-in defaults, and returns the message
// boxes the parse showed, each as "caption: text".
std::vector<std::string> parse_list(const std::string& bytes);
