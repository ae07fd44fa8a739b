// State shared by the stages of one update run: the game folder and the flag each dialog leaves.
#pragma once

constexpr int kDestinationWidth = 1024;

// The installed game folder: from the registry, then as the user confirmed it, normalised.
extern char DestinationPath[kDestinationWidth];

// 1 when the dialog that ended last ended along its OK path, 0 when it was cancelled.
extern unsigned char ProceedFlag;
