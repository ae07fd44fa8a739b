// update-check: tells a publisher what the updater will make of the update.ini in a folder.
#include <cstdio>
#include <exception>
#include <string>

#include "disc/console.h"
#include "disc/report.h"
#include "disc/source_lookup.h"
#include "report_format.h"

namespace {

const char kUsage[] =
    "usage: update-check [--json] [--against GAME_DIR] [DIR | LIST]\n"
    "Reads DIR/update.ini (DIR defaults to the current folder), or the list LIST with its data\n"
    "folder beside it, as the updater does and reports its record, types, files, problems and\n"
    "notes. With --against, also what the update would do to the game installed in GAME_DIR:\n"
    "each copied file new, replacing, identical or failing, and whether it fits.\n"
    "Exit status: 0 no problems, 1 problems (or, with --against, a copy that would fail or not\n"
    "fit), 2 the list or GAME_DIR can't be read or the command line is wrong.\n"
    "--version shows the version.\n";

struct Options {
  bool json = false;
  bool help = false;
  bool version = false;
  std::string dir = ".";
  std::string against;  // the game folder; empty: no preview
};

bool parse_options(int argc, char** argv, Options* options) {
  bool dir_given = false;
  bool options_ended = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (!options_ended && arg.size() > 1 && arg[0] == '-') {
      if (arg == "--") {
        options_ended = true;
      } else if (arg == "--json") {
        options->json = true;
      } else if (arg == "--against") {
        if (i + 1 == argc || argv[i + 1][0] == '\0') {
          complain("--against needs a game folder");
          return false;
        }
        options->against = argv[++i];
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
  return true;
}

int check(const Options& options) {
  if (std::string problem = converters_problem(); !problem.empty()) {
    complain(problem);
    return 2;
  }
  CheckReport report;
  std::string error;
  if (!build_report(options.dir, options.against, &report, &error)) {
    complain(error);
    return 2;
  }
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
