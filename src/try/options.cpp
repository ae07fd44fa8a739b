// update-try's command line; see options.h.
#include "options.h"

const char kTryUsage[] =
    "usage: update-try [--key KEY | --reg FILE] [--keep] [--out DIR] DISC GAME_DIR\n"
    "\n"
    "Tries an update disc as a player would, before it ships:\n"
    "  1. update-check (beside update-try) reads the disc's list as the updater does and shows\n"
    "     its problems;\n"
    "  2. GAME_DIR is copied to DIR\\game and the copy registered as GAMEPATH under\n"
    "     HKEY_CURRENT_USER\\KEY, the key the game's installer writes (without --key or --reg: "
    "the\n"
    "     key the list itself names);\n"
    "  3. the disc's own update.exe runs from DISC; Start is pressed, every message box is\n"
    "     recorded, photographed and dismissed;\n"
    "  4. the copy is listed before and after, and a summary says what was copied, each failure\n"
    "     and its likely cause, and the final message.\n"
    "What the key held before (the value, its type, or nothing) is put back when the run ends,\n"
    "also after Ctrl-C or a closed console window, and at the next start when the run was\n"
    "ended before it could. GAME_DIR itself is only read. Run it on a test PC all the same.\n"
    "\n"
    "  DISC        the disc folder: update.exe, update.ini and the data folder\n"
    "  GAME_DIR    an installed game folder; only read: its copy is updated. A link in it that\n"
    "              leads outside it is refused.\n"
    "  --key KEY   the key, below HKEY_CURRENT_USER, the game's installer writes GAMEPATH under,\n"
    "              such as Software\\Maker\\Game (a leading HKEY_CURRENT_USER\\ or HKCU\\ is "
    "fine)\n"
    "  --reg FILE  that key read from a .reg file regedit exported (UTF-16 or code page 932)\n"
    "  --keep      keep the updated copy of the game (DIR\\game) after the run\n"
    "  --out DIR   where the results go (default: update-try in the current folder): the\n"
    "              pictures (PNG), update-check's report, the record of the run, the listings\n"
    "              and the summary\n"
    "  -h, --help  this text;  --version  the version\n"
    "\n"
    "When the list names another key than the installer's, every player gets the \"not\n"
    "installed\" message: the run shows it, and both keys are named.\n"
    "\n"
    "Exit status: 0 update-check found no problem, the run ended with the completion message and\n"
    "showed no other box, and the list's key is the installer's; 1 otherwise; 2 when the disc or\n"
    "the folder can't be used, the copy of the game can't be made, update-check is missing, or\n"
    "update.exe cannot be started.\n";

namespace {

// "--key VALUE" or "--key=VALUE"; false, said, when the value is missing.
bool take_value(const std::vector<std::string>& args, size_t* i, const std::string& name,
                std::string* value, std::string* error) {
  const std::string& arg = args[*i];
  if (arg.size() > name.size() && arg[name.size()] == '=') {
    *value = arg.substr(name.size() + 1);
  } else if (*i + 1 < args.size()) {
    *value = args[++*i];
  } else {
    value->clear();
  }
  if (value->empty()) *error = name + " needs a value";
  return !value->empty();
}

bool is_option(const std::string& arg, const std::string& name) {
  return arg == name || arg.rfind(name + "=", 0) == 0;
}

}  // namespace

bool parse_try_options(const std::vector<std::string>& args, TryOptions* options,
                       std::string* error) {
  std::vector<std::string> folders;
  bool options_ended = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_ended || arg.size() < 2 || arg[0] != '-') {
      folders.push_back(arg);
    } else if (arg == "--") {
      options_ended = true;
    } else if (arg == "-h" || arg == "--help") {
      options->help = true;
    } else if (arg == "--version") {
      options->version = true;
    } else if (arg == "--keep") {
      options->keep = true;
    } else if (is_option(arg, "--out")) {
      if (!take_value(args, &i, "--out", &options->out, error)) return false;
    } else if (is_option(arg, "--key") || is_option(arg, "--reg")) {
      std::string name = arg.substr(0, 5);
      if (!options->key.empty() || !options->reg.empty()) {
        *error = "one of --key and --reg only";
        return false;
      }
      if (!take_value(args, &i, name, name == "--key" ? &options->key : &options->reg, error))
        return false;
    } else {
      *error = "unknown option " + arg;
      return false;
    }
  }
  if (options->help || options->version) return true;
  if (folders.size() != 2) {
    *error = "a disc folder and a game folder, and nothing more";
    return false;
  }
  options->disc = folders[0];
  options->game = folders[1];
  return true;
}

std::string quoted_argument(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string out = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes count only before a quote: there each stands for two.
    out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');
  return out + "\"";
}
