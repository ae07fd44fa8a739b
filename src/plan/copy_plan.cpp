// The copy plan; see copy_plan.h. Each step follows the copy step and its safe copy: the folder
// made first (one level, when its parent is there), then the copy refused or made, then the
// game file's read-only flag cleared, failed copy or not.
#include "copy_plan.h"

#include <cstring>

#include "copy_paths.h"
#include "copy_selection.h"
#include "file_names.h"
#include "name_identity.h"
#include "setuplist/text.h"

namespace {

// The game folder as the steps so far have left it: what they made, wrote or cleared, over what
// the view shows.
struct Change {
  char name[kFileNameWidth];
  GameEntry entry;
};

struct GameState {
  const GameView* view;
  Change changes[2 * kFileCapacity];  // a folder and a file a step, each name once
  int count;
};

Change* changed(GameState* game, const char* name) {
  for (int i = 0; i < game->count; ++i) {
    if (same_game_file(game->changes[i].name, name)) return &game->changes[i];
  }
  return nullptr;
}

GameEntry current(GameState* game, const char* name) {
  if (name[0] == '\0') return GameEntry{true, true, 0, false, false, false};  // the game folder
  const Change* change = changed(game, name);
  if (change != nullptr) return change->entry;
  return game->view->game_entry(game->view->context, name);
}

void set(GameState* game, const char* name, const GameEntry& entry) {
  Change* change = changed(game, name);
  if (change == nullptr) {
    if (game->count == 2 * kFileCapacity) return;  // never: a name and a folder a step
    change = &game->changes[game->count++];
    copy_bounded(change->name, sizeof change->name, name);
  }
  change->entry = entry;
}

// The folder part of name, without its last separator ("a\b\c.txt" gives "a\b").
void folder_of(const char* name, char* folder, size_t width) {
  CopyPaths paths;
  compose_copy_paths("", "", "", name, &paths);
  copy_bounded(folder, width, paths.directory_part);
  size_t len = strlen(folder);
  if (len > 0) folder[len - 1] = '\0';
}

bool has_bad_character(const char* name) {
  return check_file_name(name, false).refusal == NameRefusal::character;
}

// Makes the file's folder as the copy step does, only its innermost level. The refusal when the
// folder is not there afterwards.
StepRefusal make_folder(GameState* game, const char* name, PlanStep* step) {
  char folder[kFileNameWidth];
  folder_of(name, folder, sizeof folder);
  GameEntry here = current(game, folder);
  if (here.exists) return here.folder ? StepRefusal::none : StepRefusal::file_in_the_way;
  char parent[kFileNameWidth];
  folder_of(folder, parent, sizeof parent);
  GameEntry above = current(game, parent);
  if (!above.exists || !above.folder || has_bad_character(folder)) {
    return StepRefusal::missing_folder;
  }
  set(game, folder, GameEntry{true, true, 0, false, false, false});
  step->makes_folder = true;
  return StepRefusal::none;
}

// Refused as the safe copy refuses an existing destination.
StepRefusal kept(const GameEntry& dest) {
  if (!dest.exists) return StepRefusal::none;
  if (dest.folder) return StepRefusal::folder_in_the_way;
  if (dest.read_only) return StepRefusal::read_only;
  if (dest.hidden) return StepRefusal::hidden;
  if (dest.system) return StepRefusal::system;
  return StepRefusal::none;
}

int32_t earlier_step(const CopyPlan& plan, const FileList& files, const char* name) {
  for (int32_t i = plan.step_count - 1; i >= 0; --i) {
    if (same_game_file(files.file_name[plan.steps[i].entry], name)) return i;
  }
  return -1;
}

// Whether an earlier step wrote this game file: it is then no longer the game's own.
bool written_before(const CopyPlan& plan, int32_t earlier) {
  for (int32_t i = earlier; i >= 0; i = plan.steps[i].earlier) {
    if (plan.steps[i].outcome != StepOutcome::fails) return true;
  }
  return false;
}

void plan_step(GameState* game, const FileList& files, int32_t entry, CopyPlan* plan) {
  const char* name = files.file_name[entry];
  PlanStep step{
      entry, earlier_step(*plan, files, name), StepOutcome::fails, StepRefusal::none, false, false,
      {0, 0}};
  if (!is_safe_file_name(name)) {
    step.refusal = StepRefusal::unsafe_name;
    plan->steps[plan->step_count++] = step;
    return;
  }
  CopyPaths paths;
  compose_copy_paths("", "", game->view->folder, name, &paths);
  StepRefusal folder =
      paths.directory_fits ? make_folder(game, name, &step) : StepRefusal::path_too_long;
  GameEntry dest = current(game, name);
  uint64_t source = 0;
  bool has_source = game->view->source_size(game->view->context, entry, &source);
  step.refusal = folder == StepRefusal::path_too_long ? folder : kept(dest);
  if (step.refusal == StepRefusal::none && !has_source) step.refusal = StepRefusal::missing_source;
  if (step.refusal == StepRefusal::none) step.refusal = folder;
  if (step.refusal == StepRefusal::none && has_bad_character(name)) {
    step.refusal = StepRefusal::bad_name;
  }
  if (step.refusal == StepRefusal::none) {
    step.outcome = dest.exists ? StepOutcome::replaces : StepOutcome::adds;
    step.replaces_game_file = dest.exists && !written_before(*plan, step.earlier);
    step.room = {source, dest.exists ? dest.size : 0};
    dest = GameEntry{true, false, source, false, false, false};
    set(game, name, dest);
  }
  // The copy step clears the flag of whatever is there afterwards, failed copy or not.
  if (paths.directory_fits && dest.exists && dest.read_only) {
    dest.read_only = false;
    set(game, name, dest);
  }
  plan->steps[plan->step_count++] = step;
}

}  // namespace

void plan_copy(const FileList& files, uint32_t mask, const GameView& view, CopyPlan* plan) {
  plan->step_count = 0;
  GameState game;
  game.view = &view;
  game.count = 0;
  int32_t cursor = 0;
  for (int32_t entry = next_selected_entry(files, mask, &cursor); entry >= 0;
       entry = next_selected_entry(files, mask, &cursor)) {
    plan_step(&game, files, entry, plan);
  }
}

uint64_t plan_space_needed(const CopyPlan& plan, uint64_t cluster_size) {
  PlannedCopy copies[kFileCapacity];
  for (int32_t i = 0; i < plan.step_count; ++i)
    copies[i] = plan.steps[i].room;
  return peak_space_needed(copies, plan.step_count, cluster_size);
}
