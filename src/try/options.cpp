// update-try's command line; see options.h.
#include "options.h"

#include "disc/options.h"

namespace {

const char kTryUsageHead[] =
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
    "              leads outside it is refused.\n";

const char kTryUsageTail[] =
    "\n"
    "When the list names another key than the installer's, every player gets the \"not\n"
    "installed\" message: the run shows it, and both keys are named.\n"
    "\n"
    "Exit status: 0 update-check found no problem, the run ended with the completion message and\n"
    "showed no other box, and the list's key is the installer's; 1 otherwise; 2 when the disc or\n"
    "the folder can't be used, the copy of the game can't be made, update-check is missing, or\n"
    "update.exe cannot be started.\n";

std::vector<OptionSpec> option_table(TryOptions* o, int* keys_given) {
  auto flag = [](bool* slot) { return [slot](const std::string&) { *slot = true; }; };
  auto key = [keys_given](std::string* slot) {
    return [slot, keys_given](const std::string& v) {
      *slot = v;
      ++*keys_given;
    };
  };
  return {
      {"--key", "KEY",
       "the key, below HKEY_CURRENT_USER, the game's installer writes GAMEPATH\n"
       "under, such as Software\\Maker\\Game (a leading HKEY_CURRENT_USER\\ or\n"
       "HKCU\\ is fine)",
       key(&o->key)},
      {"--reg", "FILE", "that key read from a .reg file regedit exported (UTF-16 or code page 932)",
       key(&o->reg)},
      {"--keep", nullptr, "keep the updated copy of the game (DIR\\game) after the run",
       flag(&o->keep)},
      {"--out", "DIR",
       "where the results go (default: update-try in the current folder): the\n"
       "pictures (PNG), update-check's report, the record of the run, the\n"
       "listings and the summary",
       [o](const std::string& v) { o->out = v; }},
      {"-h, --help", nullptr, "this text", flag(&o->help)},
      {"--version", nullptr, "the version", flag(&o->version)},
  };
}

}  // namespace

std::string try_usage() {
  TryOptions scratch;
  int keys_given = 0;
  return kTryUsageHead + options_help(option_table(&scratch, &keys_given)) + kTryUsageTail;
}

bool parse_try_options(const std::vector<std::string>& args, TryOptions* options,
                       std::string* error) {
  std::vector<std::string> command_line = {"update-try"};
  command_line.insert(command_line.end(), args.begin(), args.end());
  std::vector<std::string> folders;
  int keys_given = 0;
  if (!parse_command_line(command_line, option_table(options, &keys_given), &folders, error))
    return false;
  if (keys_given > 1) {
    *error = "one of --key and --reg only";
    return false;
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
