// An update disc played through as a player would: Start pressed, the copy waited for, every
// message box recorded, photographed and dismissed, until update.exe ends. What happened goes out
// as records (summary.h), one at a time, as it happens.
#pragma once

#include <functional>
#include <string>

#include "run_plan.h"
#include "drive/update_run.h"
#include "summary.h"

using RecordSink = std::function<void(const Record&)>;

// What the list says, before the run: the list, its problems, the game folder, each copy.
void record_plan(const RunPlan& plan, const RecordSink& sink);

// Answers every window of the run until the program ends, then records its exit code; pictures
// (PNG) go to the folder shots, empty for none. A step that cannot go on ends in an "error"
// record, with the program killed.
void play_run(drive::UpdateRun& run, const RunPlan& plan, const std::string& shots,
              const RecordSink& sink);
