// The preview of an update against a game folder; see preview.h. The updater's own copy plan
// decides each entry; the preview only says it, and tells a copy identical to what it replaces.
#include "preview.h"

#include <algorithm>
#include <filesystem>

#include "console.h"
#include "player_data.h"
#include "plan/file_names.h"
#include "system/disk_space.h"
#include "system/fixes.h"
#include "system/paths.h"
#include "tree_scan.h"

namespace {

// Whether the file at path a was written after the one at b (paths as the tools hold them: a
// plain std::filesystem::path would read them in the ANSI code page on Windows). The copy
// keeps the source's time, so a newer game file means an older version put in its place.
bool written_after(const std::string& a, const std::string& b) {
  std::error_code ea;
  std::error_code eb;
  auto ta = std::filesystem::last_write_time(file_path(a), ea);
  auto tb = std::filesystem::last_write_time(file_path(b), eb);
  return !ea && !eb && written_clearly_after(ta, tb);
}

// The folder part of a name, by its parts: "a\\b.txt" is in "a", as Windows reads it.
std::string folder_part(const std::string& name) {
  std::vector<std::string> parts = name_parts(name);
  std::string folder;
  for (size_t i = 0; i + 1 < parts.size(); ++i)
    folder += (i == 0 ? "" : "\\") + parts[i];
  return folder;
}

std::string reason(StepRefusal refusal, const std::string& name, const GameItem& game_file) {
  switch (refusal) {
    case StepRefusal::unsafe_name:
      return std::string("the name ") + name_refusal_text(NameRefusal::outside);
    case StepRefusal::bad_name:
      return std::string("the name ") + name_refusal_text(NameRefusal::character);
    case StepRefusal::path_too_long:
      return "the folder's path is too long for Windows' file functions";
    case StepRefusal::folder_in_the_way:
      return "the game has a folder of that name";
    case StepRefusal::read_only:
      return "read-only game file: the updater keeps it, and clears the flag so that a second "
             "run replaces it";
    case StepRefusal::hidden:
      return game_file.dot_name
                 ? "hidden game file (Wine hides a name that starts with a dot): the updater "
                   "keeps it"
                 : "hidden game file: the updater keeps it";
    case StepRefusal::system:
      return "system game file: the updater keeps it";
    case StepRefusal::missing_source:
      return "the source is missing on the disc";
    case StepRefusal::file_in_the_way:
      return "the game has a file " + shown(folder_part(name)) + " there";
    case StepRefusal::missing_folder:
      return "the folder " + shown(folder_part(folder_part(name))) +
             " is missing in the game, and the updater makes one folder level per file";
    case StepRefusal::none:
      break;
  }
  return "";
}

// The file a step replaces: the source of the latest earlier step that copied the same name, or
// the game's own file.
std::string replaced_file(const CopyPlan& plan, int32_t earlier,
                          const std::vector<ListedFile>& files, const GameItem& game_file) {
  for (int32_t i = earlier; i >= 0; i = plan.steps[i].earlier) {
    if (plan.steps[i].outcome != StepOutcome::fails)
      return files[static_cast<size_t>(plan.steps[i].entry)].source.path;
  }
  return game_file.native;
}

void add_step(GameFolder* game, const CopyPlan& plan, const PlanStep& step,
              const std::vector<ListedFile>& files, CheckReport* report) {
  const ListedFile& file = files[static_cast<size_t>(step.entry)];
  // Only a name the plan has looked up already: one that could lead out of the folder never is.
  bool looked_up = step.outcome == StepOutcome::replaces || step.refusal == StepRefusal::hidden;
  GameItem game_file = looked_up ? game->look_up(file.name) : GameItem{};
  Outcome outcome = step.outcome == StepOutcome::adds ? Outcome::added : Outcome::replaces;
  if (step.outcome == StepOutcome::fails) outcome = Outcome::fails;
  if (step.outcome == StepOutcome::replaces) {
    std::string replaced = replaced_file(plan, step.earlier, files, game_file);
    uint64_t replaced_size = step.room.replaced_size;
    bool same = replaced_size == file.source.size && same_contents(replaced, file.source.path);
    if (same) outcome = Outcome::identical;
    bool newer = !same && written_after(replaced, file.source.path);
    PlayerData kind = player_data_kind(cp932_to_utf8(file.name));
    if (newer && replaced == game_file.native && is_player_data(kind, true)) {
      // A file the player's game wrote after the disc's copy was made: the copy would replace
      // the player's own saves or settings.
      report->problems.push_back(
          {file.line, ProblemKind::player_data,
           shown(file.name) + " looks like a player's data (" + player_data_label(kind) +
               ") and the game's file is newer than the disc's: the update would replace what "
               "the player's game wrote while it was played"});
    } else if (newer) {
      report->notes.push_back(
          {file.line, NoteKind::older_than_installed,
           shown(file.name) + ": the game's file is newer than the disc's, which would put an "
                              "older version in its place (OLD and NEW the wrong way round?)"});
    }
  }
  if (step.replaces_game_file && game_file.read_only_here && !game_file.read_only) {
    report->notes.push_back(
        {file.line, NoteKind::read_only_file,
         shown(file.name) +
             " is read-only here: in a player's game where it is read-only too, "
             "the updater keeps the old file, reports it and clears the flag, so "
             "that running the update again replaces it (a copy made from a disc "
             "keeps the flag; to clear it here: " +
             printable(clear_read_only_command(game->folder())) + ")"});
  }
  uint64_t bytes = outcome == Outcome::fails ? 0 : file.source.size;
  report->entries.push_back({file.index, file.line, cp932_to_utf8(file.name), outcome,
                             reason(step.refusal, file.name, game_file), bytes});
}

}  // namespace

void preview_against(GameFolder* game, const CopyPlan& plan, const std::vector<ListedFile>& files,
                     bool stops, CheckReport* report) {
  for (int32_t i = 0; i < plan.step_count; ++i) {
    const PlanStep& step = plan.steps[i];
    if (!stops) {
      add_step(game, plan, step, files, report);
      continue;
    }
    const ListedFile& file = files[static_cast<size_t>(step.entry)];
    report->entries.push_back({file.index, file.line, cp932_to_utf8(file.name), Outcome::fails,
                               "the list is over a limit of the updater, which stops before its "
                               "first copy",
                               0});
  }
  bool all_identical =
      std::all_of(report->entries.begin(), report->entries.end(),
                  [](const PreviewEntry& e) { return e.outcome == Outcome::identical; });
  if (!report->entries.empty() && all_identical) {
    report->notes.push_back({0, NoteKind::changes_nothing,
                             "every copied file is identical to the game's: the update changes "
                             "nothing in this game (is it up to date already?)"});
  }
  DiskSpace disk = disk_space_of(game->folder());
  SpaceCheck& space = report->space;
  // The updater's own default where the drive doesn't say.
  space.cluster_size = disk.known && disk.cluster_size != 0 ? disk.cluster_size : kUsualClusterSize;
  space.needed = stops ? 0 : plan_space_needed(plan, space.cluster_size);
  space.free_known = disk.known;
  space.free = disk.free;
  space.fits = !disk.known || space.needed <= disk.free;
}
