// The Windows halves' conversions between the tools' UTF-8 and Windows' UTF-16. Included by the
// Windows halves of the system layer only.
#pragma once

#include <windows.h>

#include <string>

// Wide text in code_page, exactly, or empty. Without WC_NO_BEST_FIT_CHARS Windows maps characters
// it lacks to look-alikes (the yen sign to the backslash byte, which would split a name), and
// some characters convert one way only: the result is read back and must give the same text.
std::string narrow(const wchar_t* wide, int len, UINT code_page);
// A NUL-terminated wide text as UTF-8; empty when it is not whole Unicode (a lone surrogate).
std::string narrow_utf8(const wchar_t* wide);
// UTF-8 (a path as the tools hold it) for the wide functions.
std::wstring widen(const std::string& utf8);
