// The names of the copy's temporary files: made beside each game file the copy replaces, and
// known again when a run that was ended left one behind.
#pragma once

#include <cstddef>

// The longest folder that still takes a temporary name beside the file within MAX_PATH: a
// separator, "updXXXX.tmp" and the terminator after it. A longer game folder gets the plain copy.
constexpr size_t kTempFolderMost = 260 - 14;

// folder, a separator unless folder ends with one, "upd", the number's last four hex digits (upper
// case) and ".tmp". False when that does not fit in width bytes.
bool make_temp_name(char* out, size_t width, const char* folder, unsigned number);

// Whether a file name (no folder) has the temporary files' shape: "upd", one to four hex digits,
// ".tmp", letters in either case. The copies of earlier versions, made by the system's
// GetTempFileNameA, have it too.
bool is_temp_name(const char* name);
