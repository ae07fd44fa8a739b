// A stand-in for update.exe that shows nothing and does nothing for five minutes: the try-disc
// rows stop update-try (Ctrl-C, or TerminateProcess) while "update.exe" runs, at no race with a
// real run that ends in a second.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Sleep(300000);
  return 0;
}
