// Copies of update.exe that behave as it would on another system: an older Windows that ignores
// the manifest's code page, or one that lacks the call restricting the DLL search.
#pragma once

#include <string>

namespace e2e {

// A copy whose manifest lacks the activeCodePage element, rewritten with the system's own
// resource update functions: the exe as Windows 10 and older run it.
void copy_without_active_code_page(const std::string& exe, const std::string& copy);

// A copy in which the name SetDefaultDllDirectories, looked up at start, is changed so that the
// lookup fails, as it does on a system without that function: the DLL search stays unrestricted.
void copy_without_dll_restriction(const std::string& exe, const std::string& copy);

}  // namespace e2e
