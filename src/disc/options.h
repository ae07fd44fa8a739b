// The command lines of the publisher's tools: one table of options drives both the parsing and
// the option lines of --help. "--opt value" and "--opt=value" are alike; "--" ends the options.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct OptionSpec {
  const char* names;  // "--title", or "-h, --help": each name is taken
  const char* value;  // the value's name in the help ("TEXT"); nullptr: the option takes none
  const char* help;   // its lines in the help, '\n' between them
  // Handed the value (empty for an option that takes none).
  std::function<void(const std::string& value)> take;
  bool empty_value = false;  // an empty value is a value (PATH ""), not a missing one
};

// Reads args (args[0] is the program) by the table: each option goes to its take, every other
// argument to *operands, in order. False, with the reason in *error, for an unknown option, a
// value missing (or empty where it can't be) or one given to an option that takes none.
bool parse_command_line(const std::vector<std::string>& args, const std::vector<OptionSpec>& table,
                        std::vector<std::string>* operands, std::string* error);

// The table as the option lines of --help: the names and the value in one column, the help
// beside it.
std::string options_help(const std::vector<OptionSpec>& table);
