// update-make: from the game as players have it and its new version to a checked update folder
// (and disc image) that the updater carries as the publisher means it.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "disc/console.h"
#include "disc/names.h"
#include "disc/options.h"
#include "disc/pe_signature.h"
#include "disc/progress.h"
#include "disc/report.h"
#include "disc/system/child_process.h"
#include "disc/system/command_line.h"
#include "disc/system/interrupts.h"
#include "disc/system/paths.h"
#include "disc/system/temporaries.h"
#include "disc_plan.h"
#include "iso_image.h"
#include "list_source.h"
#include "list_writer.h"
#include "medium.h"
#include "out_folder.h"
#include "played_files.h"
#include "summary.h"
#include "tree_diff.h"

namespace fs = std::filesystem;

namespace {

const char kUsage[] =
    "usage: update-make [OPTIONS] OLD NEW OUT\n"
    "Makes OUT an update folder for a disc: update.exe, update.ini and, in the data folder, every\n"
    "file of NEW that OLD lacks or holds with other contents, in an order the updater can copy.\n"
    "OLD is the game as players have it installed, NEW its new version. OUT must be new or empty;\n"
    "it is made whole and checked as update-check checks a disc, or not made at all.\n"
    "\n";
const char kUsageEnd[] =
    "Without --from, --title, --reg-s and --reg-t are needed.\n"
    "Exit status: 0 made; 1 refused or failed, nothing made; 2 the command line is wrong, or OLD,\n"
    "NEW or the earlier list can't be read.\n";

struct Options {
  ListOptions list;
  std::optional<std::string> exe;
  std::optional<std::string> iso;
  std::optional<std::string> volume;
  bool allow_older = false;
  bool allow_player_data = false;
  bool json = false;
  bool help = false;
  bool version = false;
  std::vector<std::string> folders;  // OLD, NEW, OUT
};

std::vector<OptionSpec> option_table(Options* o) {
  auto flag = [](bool* slot) { return [slot](const std::string&) { *slot = true; }; };
  auto text = [](std::optional<std::string>* slot) {
    return [slot](const std::string& v) { *slot = v; };
  };
  ListOptions& l = o->list;
  // A record's value may be empty (PATH ""); the updater reports REG_S "" itself.
  return {
      {"--title", "TEXT", "TITLE, the game's title", text(&l.title), true},
      {"--title-old", "TEXT", "TITLE_OLD, its title before the update (default: TITLE)",
       text(&l.title_old), true},
      {"--path", "NAME", "PATH, the data folder (default: DATA)", text(&l.path), true},
      {"--reg-p", "TEXT", "REG_P (default: Software)", text(&l.reg_p), true},
      {"--reg-s", "TEXT", "REG_S, usually the maker", text(&l.reg_s), true},
      {"--reg-t", "TEXT", "REG_T, usually the game", text(&l.reg_t), true},
      {"--type", "NAME",
       "an install type, repeated for more (default: [\xE6\xA8\x99\xE6\xBA\x96]);\n"
       "new files go under the first; brackets are added when missing",
       [&l](const std::string& v) { l.types.push_back(v); }, true},
      {"--from", "FILE",
       "take the record and the install types from an earlier update.ini (or\n"
       "the folder holding it); a file it listed keeps its type. The options\n"
       "above, given as well, replace its values (all but --type)",
       text(&l.from)},
      {"--exe", "PATH",
       "the update.exe to put on the disc (default: the one beside this\n"
       "program, else ../windows-x64/update.exe from here)",
       text(&o->exe)},
      {"--iso", "FILE", "also write a disc image (ISO 9660 with Joliet and Rock Ridge names)",
       text(&o->iso)},
      {"--volume", "NAME",
       "the image's volume name: up to 16 of A-Z, 0-9 and _ (default: TITLE\n"
       "in capitals where it fits, else UPDATE)",
       text(&o->volume), true},
      {"--allow-older", nullptr,
       "make the disc even when every changed file is older in NEW than in\n"
       "OLD (refused otherwise: the two may be the wrong way round)",
       flag(&o->allow_older)},
      {"--allow-player-data", nullptr,
       "put on the disc files that look like what a game writes while it is\n"
       "played (saves, settings it rewrote); refused otherwise: the disc would\n"
       "replace every player's own",
       flag(&o->allow_player_data)},
      {"--json", nullptr, "the summary as one JSON document", flag(&o->json)},
      {"-h, --help", nullptr, "show this text", flag(&o->help)},
      {"--version", nullptr, "show the version", flag(&o->version)},
  };
}

std::string usage() {
  Options scratch;
  return kUsage + options_help(option_table(&scratch)) + kUsageEnd;
}

bool parse_options(const std::vector<std::string>& args, Options* o) {
  std::string error;
  if (!parse_command_line(args, option_table(o), &o->folders, &error)) {
    complain(error);
    return false;
  }
  if (o->help || o->version) return true;
  std::string wrong;
  if (o->folders.size() != 3) wrong = "give OLD, NEW and OUT";
  const char* const kFolders[] = {"OLD", "NEW", "OUT"};
  for (size_t i = 0; i < o->folders.size() && i < 3; ++i) {
    if (o->folders[i].empty())
      wrong = std::string(kFolders[i]) + " is an empty argument; give a folder";
  }
  const ListOptions& l = o->list;
  if (l.from && !l.types.empty()) wrong = "--type and --from: the install types come from one";
  if (!l.from && (!l.title || !l.reg_s || !l.reg_t)) {
    wrong = "give --title, --reg-s and --reg-t, or an earlier list with --from";
  }
  if (!wrong.empty()) complain(wrong);
  return wrong.empty();
}

fs::path default_exe() {
  fs::path here = program_folder();
  std::error_code ec;
  if (fs::is_regular_file(here / "update.exe", ec)) return here / "update.exe";
  return (here / ".." / "windows-x64" / "update.exe").lexically_normal();
}

// A wrong path, or a file that is no Windows program, is caught before it lands on a disc, as
// update-check would catch it there.
std::string exe_problem(const fs::path& exe) {
  switch (read_pe_signature(path_text(exe))) {
    case PeSignature::unreadable:
      return "update.exe " + shown_path(exe) + " can't be read (build it, or give --exe)";
    case PeSignature::not_pe:
      return shown_path(exe) + " is not a Windows program (" + kNotAProgram + ")";
    case PeSignature::unsigned_pe:
    case PeSignature::signed_pe:
      break;
  }
  return "";
}

// The problems of the image's file: it is made beside the disc folder, never over anything.
std::string iso_problem(const fs::path& iso, const std::vector<fs::path>& folders) {
  std::error_code ec;
  if (fs::exists(fs::symlink_status(iso, ec))) return shown_path(iso) + " exists already";
  for (const fs::path& folder : folders) {
    if (is_inside(iso, folder)) return shown_path(iso) + " lies inside " + shown_path(folder);
  }
  if (!fs::is_directory(tidy_path(iso).parent_path(), ec)) {
    return "the folder " + shown_path(tidy_path(iso).parent_path()) + " does not exist";
  }
  return "";
}

// The update as update-check --against OLD sees it, OLD read as players have the game, must be
// the one planned: no problems, the same files, each new or replacing as planned. Its room figure
// is the summary's, so the two agree, and so are its notes: whether update.exe is unsigned, and
// the files OLD holds read-only.
// A file the publisher allowed as players' data may be newer in OLD than on the disc: meant.
std::string check_made(const fs::path& folder, const fs::path& old_root, const DiscPlan& plan,
                       bool allow_player_data, MadeUpdate* made) {
  CheckReport report;
  std::string error;
  if (!build_report(path_text(folder), path_text(old_root), &report, &error,
                    GameReading::as_players_have_it)) {
    return error;
  }
  for (const Note& note : report.notes) {
    made->exe_unsigned = made->exe_unsigned || note.kind == NoteKind::unsigned_exe;
    if (note.kind != NoteKind::read_only_file) continue;
    for (const PreviewEntry& entry : report.entries) {
      if (entry.line == note.line) made->read_only_in_old.push_back(entry.file_name);
    }
  }
  std::string found;
  for (const Problem& problem : report.problems) {
    if (allow_player_data && problem.kind == ProblemKind::player_data) continue;
    found += "\n  line " + std::to_string(problem.line) + ": " + problem.message;
  }
  bool same =
      report.files.size() == plan.entries.size() && report.entries.size() == plan.entries.size();
  for (size_t i = 0; same && i < plan.entries.size(); ++i) {
    const FileEntry& file = report.files[i];
    same = file.file_name == plan.entries[i].shown && file.copied && file.source_exists;
    const PreviewEntry& entry = report.entries[i];
    Outcome planned =
        plan.entries[i].file->change == Change::added ? Outcome::added : Outcome::replaces;
    if (same && entry.outcome != planned) {
      found += "\n  " + printable(entry.file_name) + " " +
               (entry.outcome == Outcome::fails
                    ? "fails in the game (OLD): " + entry.reason
                    : std::string("is ") + outcome_name(entry.outcome) +
                          " in the game (OLD), not " + outcome_name(planned));
    }
  }
  if (!same) found += "\n  it reads other files than the ones written";
  made->space = report.space;
  return found.empty() ? "" : "update-check --against OLD finds problems on the update:" + found;
}

struct Inputs {
  fs::path old_root, new_root, out;
  std::optional<fs::path> iso;
  fs::path exe;
  std::string volume;
  bool allow_player_data = false;
};

// The folders the disc holds: its root, the data folder's levels and every folder of a file.
uint64_t disc_folders(const ListSource& source, const DiscPlan& plan) {
  std::set<std::string> below_data;
  for (const DiscEntry& entry : plan.entries) {
    for (std::string& folder : folders_above(entry.file->rel, NameText::file_system))
      below_data.insert(std::move(folder));
  }
  return 1 + source.data_folder.size() + below_data.size();
}

bool build_update(const Inputs& in, const ListSource& source, const DiscPlan& plan,
                  MadeUpdate* made, std::string* error) {
  Staging staging;
  if (!staging.open(in.out, error)) return false;
  fs::path data = staging.path();
  for (const std::string& level : source.data_folder)
    data /= fs::u8path(level);
  uint64_t bytes = 0;
  for (const DiscEntry& entry : plan.entries)
    bytes += entry.file->size;
  progress_phase("copying", bytes);
  for (const DiscEntry& entry : plan.entries) {
    progress_file(entry.shown);
    auto lock = temporaries_lock();
    if (!same_as_scanned(*entry.file, error) ||
        !copy_file_to(file_path(entry.file->path), data / fs::u8path(entry.file->rel), error) ||
        !same_as_scanned(*entry.file, error)) {
      return false;
    }
  }
  std::string list = compose_setup_list(source, plan.entries);
  auto lock = temporaries_lock();
  if (!write_file(staging.path() / "update.ini", list, error) ||
      !copy_file_to(in.exe, staging.path() / "update.exe", error)) {
    return false;
  }
  lock.unlock();
  std::error_code size_ec;
  made->exe_bytes = fs::file_size(staging.path() / "update.exe", size_ec);
  progress_phase("checking", 0);
  *error = check_made(staging.path(), in.old_root, plan, in.allow_player_data, made);
  if (!error->empty()) return false;
  std::vector<uint64_t> sizes{made->exe_bytes, list.size()};
  for (const DiscEntry& entry : plan.entries)
    sizes.push_back(entry.file->size);
  made->disc_bytes = disc_bytes(sizes, disc_folders(source, plan));

  fs::path iso_part;
  if (in.iso) {
    progress_phase("making the image", 0);
    iso_part = temporary_beside(*in.iso);
    track_temporary(iso_part);
    bool made_iso = write_iso_image(staging.path(), iso_part, in.volume, error);
    std::error_code ec;
    lock.lock();
    if (made_iso) made->disc_bytes = fs::file_size(iso_part, ec);
    if (made_iso && !ec) fs::rename(iso_part, *in.iso, ec);
    if (!made_iso || ec) fs::remove(iso_part, ec);
    lock.unlock();
    untrack_temporary(iso_part);
    if (!made_iso || ec) {
      if (made_iso) *error = "cannot write " + shown_path(*in.iso);
      return false;
    }
  }
  if (!staging.commit(error)) {
    std::error_code ignored;
    if (in.iso) fs::remove(*in.iso, ignored);
    return false;
  }
  made->list_bytes = list.size();
  return true;
}

// OLD and NEW given the wrong way round make a disc that puts the old version over the new: every
// file it changes is older than the one it replaces.
bool versions_swapped(const TreeDiff& diff) {
  bool changed = false;
  for (const NewFile& file : diff.files) {
    if (file.change != Change::changed) continue;
    if (!file.older) return false;
    changed = true;
  }
  return changed;
}

// OLD that holds only part of the game (a previous update disc, say) makes most of NEW "added":
// the disc carries the whole game. Three in four leaves room for an update that adds many files.
bool old_looks_partial(const TreeDiff& diff) {
  auto added = std::count_if(diff.files.begin(), diff.files.end(),
                             [](const NewFile& file) { return file.change == Change::added; });
  return !diff.files.empty() && static_cast<size_t>(added) * 4 > diff.files.size() * 3;
}

// What is wrong with the folders, the program and the image: known before OLD and NEW are read.
std::vector<std::string> setup_problems(const Inputs& in) {
  std::vector<std::string> problems;
  for (const fs::path& path : {in.old_root, in.new_root, in.out, in.exe}) {
    if (path_text(path).empty()) {
      problems.push_back("the path " + shown_path(path) +
                         " is not whole Unicode (a lone surrogate)");
    }
  }
  if (in.iso) {
    if (std::string why = images_unavailable(); !why.empty()) problems.push_back("--iso: " + why);
    std::string wrong = volume_name_problem(in.volume);
    if (!wrong.empty()) {
      problems.push_back("the volume name " + in.volume + " " + wrong +
                         "; it takes 1 to 16 of A-Z, 0-9 and _");
    }
  }
  if (is_inside(in.new_root, in.old_root) || is_inside(in.old_root, in.new_root)) {
    problems.emplace_back("OLD and NEW lie one inside the other; give two separate folders");
  }
  for (const std::string& problem :
       {out_problem(in.out, in.old_root, in.new_root), exe_problem(in.exe),
        in.iso ? iso_problem(*in.iso, {in.old_root, in.new_root, in.out}) : std::string()}) {
    if (!problem.empty()) problems.push_back(problem);
  }
  return problems;
}

// A played copy of the game as NEW puts the publisher's saves and settings over every player's.
std::string played_problem(const std::vector<PlayedFile>& played) {
  std::string text = std::to_string(played.size()) +
                     " file(s) of NEW look like what a game writes while it is played; the disc "
                     "would replace every player's own. Make NEW from a copy of the game that was "
                     "never run, or give --allow-player-data if they are meant:";
  for (const PlayedFile& file : played)
    text += "\n    " + file.shown + " (" + file.why + ")";
  return text;
}

int refuse(const std::vector<std::string>& problems) {
  std::string text = "nothing was made; " + std::to_string(problems.size()) + " problem(s):";
  for (const std::string& problem : problems)
    text += "\n  " + problem;
  complain(text);
  return 1;
}

int make(const Options& o) {
  if (std::string problem = converters_problem(); !problem.empty()) {
    complain(problem);
    return 2;
  }
  if (o.iso && !runs_programs()) {
    complain("--iso: " + images_unavailable());
    return 2;
  }
  Inputs in{fs::u8path(o.folders[0]),
            fs::u8path(o.folders[1]),
            fs::u8path(o.folders[2]),
            std::nullopt,
            o.exe ? fs::u8path(*o.exe) : default_exe(),
            ""};
  if (o.iso) in.iso = fs::u8path(*o.iso);
  for (const fs::path& root : {in.old_root, in.new_root}) {
    std::error_code ec;
    if (!fs::is_directory(root, ec)) {
      complain((root == in.old_root ? "OLD " : "NEW ") + shown_path(root) + " is not a folder");
      return 2;
    }
  }

  for (const fs::path& target : {in.out, in.iso.value_or(fs::path())}) {
    if (target.empty()) continue;
    for (const fs::path& stale : stale_temporaries(target)) {
      complain("note: " + shown_path(stale) +
               " is left from an earlier run that was stopped; unless another update-make is "
               "making " +
               shown_path(target) + " now, delete it");
    }
  }

  // Everything that needs no file of OLD or NEW is refused before the trees are read, which
  // takes long on a real game.
  ListSource source;
  std::vector<std::string> problems;
  std::string error;
  if (!load_list_source(o.list, &source, &problems, &error)) {
    complain(error);
    return 2;
  }
  in.volume = o.volume ? *o.volume : volume_name_of_title(source.TITLE);
  for (std::string& problem : setup_problems(in))
    problems.push_back(std::move(problem));
  if (!problems.empty()) return refuse(problems);

  // Reading and copying a game of gigabytes takes minutes: a console sees how far it is.
  ProgressLine progress(!o.json);
  TreeDiff diff;
  if (!diff_trees(in.old_root, in.new_root, &diff, &error)) {
    complain(error);
    return 2;
  }
  DiscPlan plan = plan_disc(diff, source);
  problems = plan.problems;
  std::vector<PlayedFile> played = played_files(diff, plan);
  if (!played.empty() && !o.allow_player_data) problems.push_back(played_problem(played));
  if (!o.allow_older && versions_swapped(diff)) {
    problems.emplace_back(
        "every changed file is older in NEW than in OLD: are OLD and NEW the wrong way round? "
        "(--allow-older makes the disc all the same)");
  }
  if (!diff.files.empty() && plan.entries.empty()) {
    problems.emplace_back("every file of NEW is in OLD with the same contents: nothing to update");
  } else if (plan.entries.empty()) {
    problems.emplace_back("NEW holds no files: nothing to update");
  }
  if (!problems.empty()) {
    progress.stop();
    return refuse(problems);
  }

  in.allow_player_data = o.allow_player_data;
  MadeUpdate made{in.out, in.iso, in.volume, in.exe, &source,     &diff, &plan, 0,
                  0,      {},     false,     {},     in.old_root, {},    false, 0};
  for (const PlayedFile& file : played)
    made.player_data.push_back(file.shown);
  made.old_looks_partial = old_looks_partial(diff);
  bool built = build_update(in, source, plan, &made, &error);
  progress.stop();
  if (!built) {
    complain(error + "\nnothing was made");
    return 1;
  }
  std::string out = o.json ? summary_json(made) : summary_text(made);
  if (!print_result(out)) {
    complain("cannot write the summary; the update was made");
    return 1;
  }
  return 0;
}

// The tool runs in a command prompt: a double-click or folders dropped on the icon can't give its
// options.
const char kStartedAlone[] =
    u8"update-make は、インストールされたゲーム (OLD) とその新しい版 (NEW)\n"
    u8"から、アップデートのディスクのフォルダ (OUT) を作るツールです。\n"
    u8"ダブルクリックやドロップではオプションを渡せないので、コマンド\n"
    u8"プロンプト (cmd) で、たとえば次のように実行してください。\n"
    "  update-make.exe --title \"My Game\" --reg-s MAKER --reg-t GAME ^\n"
    "    \"C:\\Work\\old\" \"C:\\Work\\new\" \"C:\\Work\\disc\"\n"
    u8"オプションは update-make.exe --help で、手順は説明書 (publishers.html)\n"
    u8"にあります。\n"
    "\n"
    "update-make makes an update disc's folder (OUT) from the game as players\n"
    "have it installed (OLD) and its new version (NEW). A double-click or a\n"
    "drop can't give it its options: run it in a command prompt (cmd), for\n"
    "example as above. update-make.exe --help lists its options; the guide\n"
    "(publishers.html) explains the steps.\n";

int run(int argc, char** argv, bool alone) {
  if (alone && argc < 2) {
    print(stdout, kStartedAlone);
    return 2;
  }
  Options options;
  if (!parse_options(command_line_utf8(argc, argv), &options)) {
    print(alone ? stdout : stderr, alone ? kStartedAlone : usage());
    return 2;
  }
  if (options.help) {
    print(stdout, usage());
    return 0;
  }
  if (options.version) return print_version();
  try {
    return make(options);
  } catch (const std::exception& e) {
    complain(e.what());
    return 2;
  }
}

}  // namespace

int main(int argc, char** argv) {
  watch_interrupts();  // first: the thread that takes the signals must be the only one
  set_tool_name("update-make");
  ToolConsole console;
  return console.close(run(argc, argv, console.alone()));
}
