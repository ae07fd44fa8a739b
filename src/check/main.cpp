// update-check: tells a publisher what the updater will make of the update.ini in a folder.
#include <cstdio>
#include <exception>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "disc/console.h"
#include "disc/options.h"
#include "disc/report.h"
#include "disc/system/command_line.h"
#include "disc/system/paths.h"
#include "installer_key.h"
#include "report_format.h"

namespace {

const char kUsage[] =
    "usage: update-check [OPTIONS] [DIR | LIST]\n"
    "       update-check --print-key (--key KEY | --reg FILE)\n"
    "Reads DIR/update.ini (DIR defaults to the current folder), or the list LIST with its data\n"
    "folder beside it, as the updater does and reports its record, types, files, problems and\n"
    "notes, and whether the disc's update.exe is a Windows program.\n"
    "\n";
const char kExitStatus[] =
    "Exit status: 0 no problems, 1 problems (or, with --against, a copy that would fail or not\n"
    "fit), 2 the list or GAME_DIR can't be read or the command line is wrong.\n";

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

std::vector<OptionSpec> option_table(Options* o) {
  auto flag = [](bool* slot) { return [slot](const std::string&) { *slot = true; }; };
  auto text = [](std::string* slot) { return [slot](const std::string& v) { *slot = v; }; };
  return {
      {"--json", nullptr, "the report as one JSON document", flag(&o->json)},
      {"--against", "GAME_DIR",
       "also what the update would do to the game installed in GAME_DIR: each\n"
       "copied file new, replacing, identical or failing, and whether it fits",
       text(&o->against)},
      {"--key", "KEY",
       "the key the game's installer writes GAMEPATH under (such as\n"
       "HKCU\\Software\\Maker\\Game): a list naming another key is a problem, and so\n"
       "is a key below another root (HKLM\\...), which the updater never reads",
       text(&o->key)},
      {"--reg", "FILE",
       "a .reg file regedit exported that sets it: the same, and a value the\n"
       "updater reads otherwise (named other than GAMEPATH, or not a string)",
       text(&o->reg)},
      {"--print-key", nullptr,
       "print that key (below HKEY_CURRENT_USER) and do nothing else; status 1\n"
       "when the updater can't read what the installer writes",
       flag(&o->print_key)},
      {"-h, --help", nullptr, "show this text", flag(&o->help)},
      {"--version", nullptr, "show the version", flag(&o->version)},
  };
}

std::string usage(Options* scratch) {
  return kUsage + options_help(option_table(scratch)) + kExitStatus;
}

// Every argument as UTF-8, on Windows from the wide command line: a path or a key with any
// character arrives whole, whatever the system's code page.
bool parse_options(int argc, char** argv, Options* options) {
  std::vector<std::string> operands;
  std::string error;
  if (!parse_command_line(command_line_utf8(argc, argv), option_table(options), &operands,
                          &error)) {
    complain(error);
    return false;
  }
  if (operands.size() > 1) {
    complain("one folder or list only (got " + printable(operands[1]) + " after " +
             printable(operands[0]) + ")");
    return false;
  }
  if (operands.size() == 1) {
    if (operands[0].empty()) {
      complain("the folder or list is an empty argument");
      return false;
    }
    options->dir = operands[0];
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

// The installer's key from --key or --reg; false, said, when it can't be had. *given is false
// when neither is given.
bool installer_key(const Options& options, InstallerKey* key, bool* given) {
  std::string error;
  *given = !options.key.empty() || !options.reg.empty();
  if (!options.key.empty()) {
    if (installer_key_from_text(options.key, key, &error)) return true;
  } else if (!options.reg.empty()) {
    std::ifstream in(file_path(options.reg), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!in) {
      error = "cannot read " + printable(options.reg);
    } else if (installer_key_from_reg(bytes.str(), key, &error)) {
      return true;
    } else {
      error = printable(options.reg) + ": " + error;
    }
  } else {
    return true;
  }
  complain(error);
  return false;
}

// The key, for scripts/try-disc to register GAMEPATH under; a key the updater can't read is
// refused, so that the disc is not tried under a key no player has.
int print_installer_key(const InstallerKey& key) {
  std::vector<Problem> problems = installer_key_problems(key, "");
  for (const Problem& problem : problems)
    complain(std::string(problem_kind_name(problem.kind)) + ": " + problem.message);
  if (!problems.empty()) return 1;
  return print_result(key.key + "\n") ? 0 : 2;
}

int check(const Options& options) {
  if (std::string problem = converters_problem(); !problem.empty()) {
    complain(problem);
    return 2;
  }
  InstallerKey key;
  bool key_given = false;
  if (!installer_key(options, &key, &key_given)) return 2;
  if (options.print_key) return print_installer_key(key);
  CheckReport report;
  std::string error;
  if (!build_report(options.dir, options.against, &report, &error)) {
    complain(error);
    return 2;
  }
  if (key_given) check_installer_key(key, &report);
  std::string out = options.json ? format_json(report) : format_text(report);
  if (!print_result(out)) {
    complain("cannot write the report");
    return 2;
  }
  return report_finds_faults(report) ? 1 : 0;
}

// Explorer passes the folder dropped on the icon as the one argument, which is checked as a disc
// folder; a double-click passes none.
const char kStartedAlone[] =
    u8"update-check は、アップデートのディスクを、プレイヤーの update.exe が\n"
    u8"読むとおりに調べるツールです。ディスクのフォルダ (update.ini のある\n"
    u8"フォルダ) を、この update-check.exe のアイコンにドロップしてください。\n"
    u8"コマンドプロンプト (cmd) では、たとえば次のように実行します。\n"
    "  update-check.exe \"C:\\Work\\disc\"\n"
    u8"オプションは update-check.exe --help で、レポートの読み方は説明書\n"
    u8"(publishers.html) にあります。\n"
    "\n"
    "update-check checks an update disc as the players' update.exe reads it.\n"
    "Drop the disc's folder (the one holding update.ini) on update-check.exe,\n"
    "or run it in a command prompt (cmd), for example as above.\n"
    "update-check.exe --help lists its options; the guide (publishers.html)\n"
    "explains the report.\n";

int run(int argc, char** argv, bool alone) {
  if (alone && argc < 2) {
    print(stdout, kStartedAlone);
    return 2;
  }
  Options options;
  if (!parse_options(argc, argv, &options)) {
    Options scratch;
    print(alone ? stdout : stderr, alone ? kStartedAlone : usage(&scratch));
    return 2;
  }
  if (options.help) {
    print(stdout, usage(&options));
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

}  // namespace

int main(int argc, char** argv) {
  set_tool_name("update-check");
  ToolConsole console;
  return console.close(run(argc, argv, console.alone()));
}
