// Where the harness put things: the exes under test, the work folder and the screenshot folder.
#pragma once

#include <string>

#include "drive/error.h"

namespace e2e {

// The driver is built on the code that drives update.exe for update-try (src/drive): its
// DriverError, thrown by a helper that cannot go on, is reported by GoogleTest as the test's
// failure.
using namespace drive;

// A Windows path from an environment variable; empty when the variable is not set.
std::string path_from_env(const char* name);

// E2E_UPDATE_EXE: the update.exe under test.
std::string update_exe();
// E2E_WORK: a folder of this test's own, empty at the start.
std::string work_folder();
// E2E_SHOTS: where screenshots go; empty when none are wanted.
std::string shots_folder();
// E2E_PLANT_DLL: the DLL that must never be loaded from update.exe's folder.
std::string plant_dll();

// Every text the tests compare is code page 932; under any other code page Wine would convert
// update.exe's texts and the comparisons would prove nothing. The driver's manifest asks for it
// whatever the locale.
bool code_page_is_932();
// Whether the system's locale is Japanese (the Unix locale under Wine), whatever the code page.
bool system_locale_is_japanese();

}  // namespace e2e
