// The update run from start to end: the setup list, the game folder, the two dialogs and the
// one message box that ends the run.
#pragma once

#include "platform/win32.h"

// The module instance, for loading the dialog templates.
extern HINSTANCE AppInstance;

// Runs one update and returns the process exit code, 1 on every path.
int run_update(HINSTANCE instance);
