// The Windows entry point of update.exe.
#include <windows.h>

#include "update_sequence.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return run_update(instance);
}
