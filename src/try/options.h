// update-try's command line: what it is told, and the one way it quotes an argument for a program
// it starts.
#pragma once

#include <string>
#include <vector>

// The usage text of --help (and of a command line update-try refuses).
std::string try_usage();

struct TryOptions {
  std::string key;  // --key, as typed (UTF-8)
  std::string reg;  // --reg FILE
  std::string out;  // --out DIR; empty: update-try in the current folder
  bool keep = false;
  bool help = false;
  bool version = false;
  std::string disc;  // DISC
  std::string game;  // GAME_DIR
};

// The arguments after the program's name, UTF-8. False, with what is wrong in *error, for a
// command line update-try can't take.
bool parse_try_options(const std::vector<std::string>& args, TryOptions* options,
                       std::string* error);

// The argument as it must stand in a command line for CommandLineToArgvW (and the C runtime of
// the program started) to read it back whole: in double quotes when it holds a blank or a quote
// or is empty, a quote inside it escaped, and the backslashes before a quote, or before the
// closing one, doubled: "C:\Games\" would otherwise end in a quote.
std::string quoted_argument(const std::string& arg);
