// The one header through which the program reaches the Windows API. The Windows build gets the
// real headers; the Linux build gets the small stand-in that the unit tests drive.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <restartmanager.h>
#include <shlobj.h>
#else
#include "standin/win32_standin.h"
#endif
