// What the copy will do, entry by entry, before it starts: which entries it takes and in which
// order (the selection), which it refuses and why, which folder each makes, what each replaces
// and the room each takes. One function of the list and a view of the game folder: the updater's
// room check, its files-in-use check and its copy walk the plan it makes of the player's game,
// and update-check --against and update-make make it of a game folder they are given.
#pragma once

#include <cstdint>

#include "game_view.h"
#include "setuplist/setup_record.h"
#include "space_needed.h"

enum class StepOutcome : uint8_t { adds, replaces, fails };

// Why a step fails: the first of these that the copy meets.
enum class StepRefusal : uint8_t {
  none,
  unsafe_name,        // the name could land outside the game folder: nothing is touched
  path_too_long,      // the file's folder path is too long for the folder functions
  folder_in_the_way,  // the game has a folder of the file's name
  read_only,          // the game's file is read-only: kept, and its flag cleared afterwards
  hidden,             // kept
  system,             // kept
  missing_source,     // the medium has no such file
  file_in_the_way,    // the game has a file where the file's folder goes
  missing_folder,     // the folder above the file's folder is missing: only one level is made
  bad_name,           // a character Windows does not allow in a name: the file is never made
};

struct PlanStep {
  int32_t entry;    // of the file table
  int32_t earlier;  // the step before this one on the same game file, or -1
  StepOutcome outcome;
  StepRefusal refusal;
  bool makes_folder;        // makes the innermost folder of the file's name
  bool replaces_game_file;  // replaces a file the game had before the update
  PlannedCopy room;         // what it adds and frees; nothing when it fails
};

struct CopyPlan {
  int32_t step_count;
  PlanStep steps[kFileCapacity];
};

// Plans the copy of every entry whose type mask shares a bit with mask, in list order, against
// the game folder and the medium as view shows them, each step seeing what the earlier ones left.
void plan_copy(const FileList& files, uint32_t mask, const GameView& view, CopyPlan* plan);

// The most the plan's copies ever add to the drive, in whole clusters (peak_space_needed).
uint64_t plan_space_needed(const CopyPlan& plan, uint64_t cluster_size);
