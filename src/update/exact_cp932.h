// A wide text in code page 932, exactly or not at all.
#pragma once

#include <cstddef>

#include "platform/win32.h"

// Writes the code page 932 form of a NUL-terminated wide text of fewer than 1,024 units into out
// (size bytes, terminator included) and returns true only when every character has a form of its
// own that reads back as the same character. False, with out unspecified, for a text with a
// character code page 932 lacks (Windows would put a look-alike or '?' in its place), for one
// that converts one way only (U+00A5 to the backslash byte, U+301C to ～), for an empty text and
// for one that does not fit.
bool exact_cp932(const WCHAR* wide, char* out, size_t size);
