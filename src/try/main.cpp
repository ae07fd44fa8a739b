// update-try: tries an update disc as a player would, before it ships. The disc is checked with
// update-check, a copy of the game is registered as GAMEPATH, the disc's own update.exe is played
// through with every box recorded and photographed, and a summary says what came of it. The
// registry and the publisher's folders are left as they were found.
#include <windows.h>

#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "disc/console.h"
#include "disc/cp932_text.h"
#include "disc/pe_signature.h"
#include "disc/system/command_line.h"
#include "disc/system/files.h"
#include "disc/system/paths.h"
#include "run_plan.h"
#include "drive/error.h"
#include "game_copy.h"
#include "game_listing.h"
#include "handles.h"
#include "interrupt.h"
#include "options.h"
#include "player.h"
#include "put_back.h"
#include "say.h"
#include "summary.h"
#include "tool_run.h"

namespace fs = std::filesystem;

namespace {

// Why the disc or the folders can't be tried (exit status 2).
struct Unusable {
  std::string why;
};

[[noreturn]] void unusable(const std::string& why) {
  throw Unusable{why};
}

// Marks a results folder as update-try's: only such a folder is emptied by the next run.
constexpr wchar_t kMarker[] = L"update-try.txt";
constexpr char kMarkerText[] =
    "This folder holds the results of update-try: the pictures (shots), update-check's report\r\n"
    "(check.txt), the record of the run (record.txt), the game's listings (before.txt,\r\n"
    "after.txt) and the summary (summary.txt). The next run here replaces them.\r\n";
const wchar_t* const kResults[] = {L"check.txt",   L"record.txt", L"before.txt", L"after.txt",
                                   L"summary.txt", L"shots",      L"game"};

void step(const std::string& text) {
  say("== " + text + "\n");
}

std::string indented(const std::string& text) {
  std::string out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    out += "    " + text.substr(start, end - start) + "\n";
    start = end + 1;
  }
  return out;
}

void write_text(const fs::path& path, const std::string& text) {
  FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (!file.ok() ||
      !WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
    unusable("cannot write " + shown_path(path));
  }
}

std::string crlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::wstring full_path(const fs::path& path) {
  std::error_code ec;
  fs::path full = fs::absolute(path, ec);
  std::wstring text = full.native();
  while (text.size() > 3 && (text.back() == L'\\' || text.back() == L'/'))
    text.pop_back();
  return text;
}

// The folder's short name (JOSE~1 for José) where the volume keeps short names; one not made yet
// takes its parent's. The path as it is when there is none.
fs::path short_path(const fs::path& path) {
  DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
  std::wstring out(size, L'\0');
  DWORD got = size == 0 ? 0 : GetShortPathNameW(path.c_str(), out.data(), size);
  if (got > 0 && got < size) return out.substr(0, got);
  if (path.has_parent_path() && path.parent_path() != path)
    return short_path(path.parent_path()) / path.filename();
  return path;
}

// The bytes of the path for update.exe's "A" functions (code page 932 in update-try too:
// converters_problem). A folder code page 932 can't name (C:\Users\José) is given by its short
// name, which the "A" functions reach; without one update.exe would take it for another folder.
std::string cp932_path(const fs::path& path, const std::string& what) {
  Cp932Text bytes = utf8_to_cp932(path_text(path));
  if (!bytes.ok()) bytes = utf8_to_cp932(path_text(short_path(path)));
  if (!bytes.ok() || bytes.bytes.empty()) {
    unusable(what + " " + shown_path(path) +
             " has no code page 932 name, nor a short name: update.exe, which names its files in "
             "code page 932, would take it for another folder; use a folder whose path has only "
             "Japanese and ASCII characters");
  }
  return bytes.bytes;
}

bool is_folder(const fs::path& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Whether update.exe is a program Windows starts, by the rule update-check's report (update-exe)
// gives its words to.
bool is_a_program(const fs::path& exe) {
  PeSignature signature = read_pe_signature(path_text(exe));
  return signature == PeSignature::unsigned_pe || signature == PeSignature::signed_pe;
}

struct Folders {
  fs::path disc;
  fs::path game;
  fs::path out;
  fs::path copy;  // out\game
  fs::path shots;
};

// Typed into cmd, "D:\Games\" reaches a program as D:\Games" (CommandLineToArgvW's rule).
void check_not_quoted_backslash(const std::string& arg) {
  if (!arg.empty() && arg.back() == '"') {
    unusable("the folder " + printable(arg) +
             " ends in a quote: in a command line a \\ right before the closing quote makes the "
             "quote part of the name; write the folder without its last \\ (\"D:\\My Games\") "
             "or without quotes (D:\\)");
  }
}

Folders check_folders(const TryOptions& options) {
  for (const std::string& arg : {options.disc, options.game, options.out})
    check_not_quoted_backslash(arg);
  Folders f;
  f.disc = full_path(fs::u8path(options.disc));
  f.game = full_path(fs::u8path(options.game));
  f.out = full_path(fs::u8path(options.out.empty() ? "update-try" : options.out));
  f.copy = f.out / L"game";
  f.shots = f.out / L"shots";
  if (!is_folder(f.disc)) unusable("no such disc folder: " + shown_path(f.disc));
  if (!is_folder(f.game)) unusable("no such game folder: " + shown_path(f.game));
  if (GetFileAttributesW((f.disc / L"update.ini").c_str()) == INVALID_FILE_ATTRIBUTES)
    unusable("no update.ini in " + shown_path(f.disc));
  fs::path exe = f.disc / L"update.exe";
  if (GetFileAttributesW(exe.c_str()) == INVALID_FILE_ATTRIBUTES)
    unusable("no update.exe in " + shown_path(f.disc));
  if (path_lies_in(f.out, f.game))
    unusable("the results folder " + shown_path(f.out) + " is inside " + shown_path(f.game));
  if (path_lies_in(f.game, f.out))
    unusable(shown_path(f.game) + " is inside the results folder " + shown_path(f.out));
  if (path_lies_in(f.out, f.disc)) {
    unusable("the results folder " + shown_path(f.out) + " is inside the disc folder " +
             shown_path(f.disc) + ": give --out another folder");
  }
  return f;
}

// The results folder, made or emptied of an earlier run's results. A folder that holds other
// things is not touched.
void prepare_out(const Folders& f) {
  std::error_code ec;
  if (is_folder(f.out) && !fs::is_empty(f.out, ec) && !fs::exists(f.out / kMarker, ec)) {
    unusable(shown_path(f.out) +
             " holds files update-try did not make: give --out an empty or a new folder");
  }
  for (const wchar_t* name : kResults) {
    if (fs::exists(f.out / name, ec) && !remove_tree(f.out / name))
      unusable("cannot remove " + shown_path(f.out / name) + " of an earlier run");
  }
  fs::create_directories(f.shots, ec);
  if (!is_folder(f.shots)) unusable("cannot make " + shown_path(f.shots));
  write_text(f.out / kMarker, kMarkerText);
}

// The key of --key or --reg, as update-check reads it (one place for its rules), code page 932.
std::string installer_key(const TryOptions& options, const fs::path& check_tool) {
  if (options.key.empty() && options.reg.empty()) return "";
  std::vector<std::string> args = {"--print-key"};
  if (!options.key.empty()) {
    args.insert(args.end(), {"--key", options.key});
  } else {
    args.insert(args.end(), {"--reg", options.reg});
  }
  ToolRun run;
  std::string error;
  if (!run_tool(check_tool, args, &run, &error)) unusable(error);
  std::string key = run.output;
  while (!key.empty() && (key.back() == '\n' || key.back() == '\r'))
    key.pop_back();
  if (run.status != 0) unusable(key);
  Cp932Text bytes = utf8_to_cp932(key);
  if (!bytes.ok()) unusable("the key " + key + " has no code page 932 form");
  return bytes.bytes;
}

// update-check's report on the disc, shown and kept. True when it found no problem.
bool check_disc(const TryOptions& options, const Folders& f, const fs::path& check_tool) {
  std::vector<std::string> args;
  if (!options.key.empty()) args.insert(args.end(), {"--key", options.key});
  if (!options.reg.empty()) args.insert(args.end(), {"--reg", options.reg});
  std::string shown_args;
  for (const std::string& arg : args)
    shown_args += " " + arg;
  step("update-check" + shown_args + " " + shown_path(f.disc));
  args.push_back(f.disc.u8string());
  ToolRun run;
  std::string error;
  if (!run_tool(check_tool, args, &run, &error)) unusable(error);
  stop_if_interrupted();
  write_text(f.out / L"check.txt", crlf(run.output));
  say(indented(run.output));
  if (run.status != 0 && run.status != 1) unusable("update-check cannot read the disc (above)");
  return run.status == 0;
}

// The records, kept for the summary and written as they come to record.txt.
class RecordFile {
 public:
  explicit RecordFile(const fs::path& path)
      : file_(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr)) {
    if (!file_.ok()) unusable("cannot write " + shown_path(path));
  }
  void add(const Record& record) {
    records_.push_back(record);
    std::string line = record_line(record) + "\n";
    DWORD written = 0;
    WriteFile(file_.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  }
  const std::vector<Record>& records() const { return records_; }

 private:
  FileHandle file_;
  std::vector<Record> records_;
};

// GAMEPATH registered as on a player's PC: under the installer's key, and taken away from the
// list's, or under the list's own; what they held first is in the journal before.
void register_game(const RunPlan& plan, const std::string& key, const std::string& copy_utf8,
                   RecordFile* records) {
  Journal journal;
  journal.copy = copy_utf8;
  journal.values.push_back(saved_value(plan.key, "GAMEPATH"));
  if (!key.empty() && key != plan.key) journal.values.push_back(saved_value(key, "GAMEPATH"));
  start_changes(journal);
  if (!key.empty()) {
    bool found = register_installer_key(plan, key);
    records->add({"key", cp932_to_utf8(key), found ? "same" : "other"});
  } else {
    register_plan(plan);
  }
}

Listing listed(const Folders& f, const wchar_t* file) {
  Listing listing = list_game(f.copy);
  write_text(f.out / file, listing_file(listing));
  say(listing_text(listing));
  return listing;
}

// The copy goes unless it is to be kept; then the journal. Said once.
void finish(const TryOptions& options, const Folders& f) {
  say(put_back_registry());
  std::error_code ec;
  if (options.keep && fs::exists(f.copy, ec)) {
    say("the copy of the game is kept: " + shown_path(f.copy) + "\n");
  } else if (fs::exists(f.copy, ec)) {
    say(remove_tree(f.copy)
            ? "the copy of the game removed (--keep keeps it)\n"
            : "the copy of the game " + shown_path(f.copy) + " could not be removed whole\n");
  }
  end_changes();
}

int play(const TryOptions& options, const Folders& f, bool check_clean, const std::string& key) {
  std::string copy_a = cp932_path(f.copy, "the results folder");
  std::string shots_a = cp932_path(f.shots, "the results folder");
  std::string disc_a = cp932_path(f.disc, "the disc folder");
  RunPlan plan = plan_run(disc_a, copy_a + "\\");
  // The copy is in the journal from before it is made, unless it is to be kept.
  std::string journal_copy = options.keep ? "" : f.copy.u8string();
  start_changes(Journal{journal_copy, {}});
  step("copying " + shown_path(f.game) + " to " + shown_path(f.copy));
  std::string error;
  if (!copy_game(f.game, f.copy, &error)) unusable(error);
  step("disc: " + shown_path(f.disc));
  step("game folder before the update (a copy of " + shown_path(f.game) + " in " +
       shown_path(f.copy) + ")");
  Listing before = listed(f, L"before.txt");
  RecordFile records(f.out / L"record.txt");
  record_plan(plan, [&records](const Record& r) { records.add(r); });
  // Over a limit the updater stops before it reads the registry: nothing to register.
  if (!key.empty() || !plan.over_limit) register_game(plan, key, journal_copy, &records);
  stop_if_interrupted();
  step("running update.exe from the disc; update-try plays it through");
  {
    std::unique_ptr<drive::UpdateRun> run;
    try {
      run = std::make_unique<drive::UpdateRun>(disc_a + "\\update.exe", disc_a);
    } catch (const drive::DriverError& e) {
      unusable(std::string("update.exe could not be started: ") + e.what());
    }
    set_running_child(run->process());
    play_run(*run, plan, shots_a, [&records](const Record& r) { records.add(r); });
    set_running_child(nullptr);
  }
  say(put_back_registry());
  stop_if_interrupted();
  step("game folder after the update");
  Listing after = listed(f, L"after.txt");
  step("summary");
  Summary summary = summarize(records.records(), before, after);
  if (key.empty()) {
    summary.text += "key: taken from the list itself (HKCU\\" + cp932_to_utf8(plan.key) +
                    "); --key or --reg checks it against the key the game's installer writes\n";
  }
  say(summary.text);
  say("screenshots: " + shown_path(f.shots) + "\n");
  finish(options, f);
  std::string result;
  if (check_clean && summary.clean) {
    result =
        "result: exit 0: update-check found no problem; the completion message and no other box\n";
  } else {
    if (!check_clean)
      result += "result: exit 1: update-check found problems in the list (at the top)\n";
    if (!summary.clean)
      result += "result: exit 1: see the key, the failure boxes and the final message above\n";
  }
  say(result);
  // Last, and with the result: a summary without it tells of a run that was cut off.
  write_text(f.out / L"summary.txt", crlf(summary.text + result));
  return check_clean && summary.clean ? 0 : 1;
}

int try_disc(const TryOptions& options) {
  std::string error;
  if (!take_state_lock(&error)) unusable(error);
  std::string said;
  if (!mend_left_journal(&said, &error)) {
    say(said);
    unusable(error);
  }
  if (!said.empty()) {
    step("an earlier run of update-try was ended before it could put things back; now they are");
    say(said);
  }
  Folders f = check_folders(options);
  fs::path check_tool = program_beside(L"update-check.exe");
  if (GetFileAttributesW(check_tool.c_str()) == INVALID_FILE_ATTRIBUTES) {
    unusable("update-check.exe is not beside update-try.exe (" + shown_path(check_tool) +
             "): unpack the whole zip");
  }
  std::string key = installer_key(options, check_tool);
  prepare_out(f);
  bool check_clean = check_disc(options, f, check_tool);
  if (!is_a_program(f.disc / L"update.exe"))
    unusable("the disc's update.exe is no program to run (update-check, above)");
  try {
    return play(options, f, check_clean, key);
  } catch (...) {
    finish(options, f);
    throw;
  }
}

}  // namespace

int main(int argc, char** argv) {
  set_tool_name("update-try");
  watch_console_events();
  std::vector<std::string> args = command_line_utf8(argc, argv);
  if (!args.empty()) args.erase(args.begin());
  TryOptions options;
  std::string error;
  if (!parse_try_options(args, &options, &error)) {
    say_error(error);
    print(stderr, try_usage());
    return 2;
  }
  if (options.help) {
    say(try_usage());
    return 0;
  }
  if (options.version) return print_version();
  if (std::string problem = converters_problem(); !problem.empty()) {
    say_error(problem);
    return 2;
  }
  // A step that fails because an interrupt ended what it waited for (Wine fails a CreateProcess
  // that SIGINT reaches midway, error 1359) is the interrupt's.
  try {
    return try_disc(options);
  } catch (const Interrupted&) {  // NOLINT(bugprone-empty-catch): said below
  } catch (const Unusable& e) {
    if (!interrupted()) {
      say_error(e.why);
      return 2;
    }
  } catch (const std::exception& e) {
    if (!interrupted()) {
      say_error(e.what());
      return 2;
    }
  }
  say("interrupted: the registry is as it was before the run\n");
  end_interrupted_run();
}
