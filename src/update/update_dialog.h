// The UPDATE dialog: the user confirms the game folder, types another or browses for one.
#pragma once

#include "platform/win32.h"

INT_PTR CALLBACK update_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// Shows the shell's folder browser owned by owner, with prompt above the tree. Returns true and
// the chosen folder in result (at least MAX_PATH bytes) when the user chose a file-system folder;
// false, with result untouched, when the user cancelled or no path could be had.
bool browse_for_folder(HWND owner, char* result, const char* prompt);

int CALLBACK browse_callback(HWND browser, UINT event, LPARAM value, LPARAM data);
