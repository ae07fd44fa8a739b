// update-check: tells a publisher what the updater will make of the update.ini in a folder.
#include <cstdio>
#include <exception>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "disc/console.h"
#include "disc/report.h"
#include "disc/source_lookup.h"
#include "disc/system.h"
#include "installer_key.h"
#include "report_format.h"

namespace {

const char kUsage[] =
    "usage: update-check [--json] [--against GAME_DIR] [--key KEY | --reg FILE] [DIR | LIST]\n"
    "       update-check --print-key (--key KEY | --reg FILE)\n"
    "Reads DIR/update.ini (DIR defaults to the current folder), or the list LIST with its data\n"
    "folder beside it, as the updater does and reports its record, types, files, problems and\n"
    "notes. With --against, also what the update would do to the game installed in GAME_DIR:\n"
    "each copied file new, replacing, identical or failing, and whether it fits.\n"
    "With --key, the key below HKEY_CURRENT_USER that the game's installer writes GAMEPATH under\n"
    "(such as Software\\Maker\\Game), or --reg, a .reg file regedit exported that sets it: a list\n"
    "naming another key is a problem. --print-key prints that key and does nothing else.\n"
    "Exit status: 0 no problems, 1 problems (or, with --against, a copy that would fail or not\n"
    "fit), 2 the list or GAME_DIR can't be read or the command line is wrong.\n"
    "--version shows the version.\n";

struct Options {
  bool json = false;
  bool help = false;
  bool version = false;
  std::string dir = ".";
  std::string against;  // the game folder; empty: no preview
  std::string key;      // the installer's key, as given
  std::string reg;      // a .reg file holding it
  bool print_key = false;
};

// The value of an option that takes one; false, said, when it has none.
bool option_value(int argc, char** argv, int* i, std::string* value) {
  if (*i + 1 == argc || argv[*i + 1][0] == '\0') {
    complain(std::string(argv[*i]) + " needs a value");
    return false;
  }
  *value = argv[++*i];
  return true;
}

// Paths are kept in the platform's bytes, which the file functions take; the key is compared as
// text, so it is taken as UTF-8 (on Windows from the wide command line).
bool parse_options(int argc, char** argv, Options* options) {
  std::vector<std::string> utf8_args = command_line_utf8(argc, argv);
  bool dir_given = false;
  bool options_ended = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (!options_ended && arg.size() > 1 && arg[0] == '-') {
      if (arg == "--") {
        options_ended = true;
      } else if (arg == "--json") {
        options->json = true;
      } else if (arg == "--against" || arg == "--key" || arg == "--reg") {
        std::string* slot = arg == "--against" ? &options->against
                            : arg == "--key"   ? &options->key
                                               : &options->reg;
        if (!option_value(argc, argv, &i, slot)) return false;
        if (slot == &options->key && static_cast<size_t>(i) < utf8_args.size())
          options->key = utf8_args[static_cast<size_t>(i)];
      } else if (arg == "--print-key") {
        options->print_key = true;
      } else if (arg == "-h" || arg == "--help") {
        options->help = true;
      } else if (arg == "--version") {
        options->version = true;
      } else {
        complain("unknown option " + printable(display_path(arg)));
        return false;
      }
      continue;
    }
    if (dir_given) {
      complain("one folder or list only (got " + printable(display_path(arg)) + " after " +
               printable(display_path(options->dir)) + ")");
      return false;
    }
    options->dir = arg;
    dir_given = true;
  }
  if (!options->key.empty() && !options->reg.empty()) {
    complain("--key or --reg, not both");
    return false;
  }
  if (options->print_key && options->key.empty() && options->reg.empty()) {
    complain("--print-key needs --key or --reg");
    return false;
  }
  return true;
}

// The installer's key from --key or --reg; empty when neither is given. False, said, when the
// key can't be had.
bool installer_key(const Options& options, std::string* key) {
  std::string error;
  if (!options.key.empty()) {
    if (installer_key_from_text(options.key, key, &error)) return true;
  } else if (!options.reg.empty()) {
    std::ifstream in(options.reg, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!in) {
      error = "cannot read " + display_path(options.reg);
    } else if (installer_key_from_reg(bytes.str(), key, &error)) {
      return true;
    } else {
      error = display_path(options.reg) + ": " + error;
    }
  } else {
    return true;
  }
  complain(error);
  return false;
}

int check(const Options& options) {
  if (std::string problem = converters_problem(); !problem.empty()) {
    complain(problem);
    return 2;
  }
  std::string key;
  if (!installer_key(options, &key)) return 2;
  if (options.print_key) {
    print(stdout, key + "\n");
    return 0;
  }
  CheckReport report;
  std::string error;
  if (!build_report(options.dir, options.against, &report, &error)) {
    complain(error);
    return 2;
  }
  if (!key.empty()) check_installer_key(key, &report);
  std::string out = options.json ? format_json(report) : format_text(report);
  if (!print_result(out)) {
    complain("cannot write the report");
    return 2;
  }
  return report_finds_faults(report) ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  set_tool_name("update-check");
  [[maybe_unused]] Utf8Console console;  // restores the console on every way out
  Options options;
  if (!parse_options(argc, argv, &options)) {
    print(stderr, kUsage);
    return 2;
  }
  if (options.help) {
    print(stdout, kUsage);
    return 0;
  }
  if (options.version) return print_version();
  try {
    return check(options);
  } catch (const std::exception& e) {
    complain(e.what());
    return 2;
  }
}
