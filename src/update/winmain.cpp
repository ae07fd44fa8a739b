// The Windows entry point of update.exe.
#include <windows.h>

#include "update_sequence.h"

namespace {

constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

// The exe runs from a disc or a download folder, which may hold a DLL named like one the system
// loads on demand (the themed controls, the shell, the folder browser): from now on DLLs come
// from the system folder only, not from the exe's folder or the current one. Looked up rather
// than imported: Vista, and Windows 7 without its 2011 loader update, lack the function and must
// still start the exe.
void restrict_dll_search() {
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (kernel == nullptr) return;
  auto set_directories = reinterpret_cast<SetDirectories>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (set_directories != nullptr) set_directories(kSearchSystem32);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  restrict_dll_search();
  return run_update(instance);
}
