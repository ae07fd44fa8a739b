// State shared by the stages of one update run: the game folder, the flag each dialog leaves and
// the copy plan.
#pragma once

#include "copy_plan.h"

constexpr int kDestinationWidth = 1024;

// The installed game folder: from the registry, then as the user confirmed it, normalised.
extern char DestinationPath[kDestinationWidth];

// 1 when the dialog that ended last ended along its OK path, 0 when it was cancelled.
extern unsigned char ProceedFlag;

// The copy planned against the game folder once the player has confirmed it; the room check, the
// files-in-use check and the copy walk it.
extern CopyPlan UpdatePlan;
