// The FILECOPY dialog: copies the selected files one per tick of a 60 ms timer, shows where
// each goes, reports each file that can't be copied and goes on.
#pragma once

#include <cstdint>

#include "platform/win32.h"

// The counter handshake: a copy step is due exactly when the two differ. A step makes them equal
// first and different again as its last action, so a tick that arrives while a step shows a
// message box starts nothing.
extern int32_t CopyDoneCount;
extern int32_t CopyAckCount;

INT_PTR CALLBACK filecopy_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
