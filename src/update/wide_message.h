// The stops shown through the wide interface, in Japanese and then in English: their texts are
// composed in UTF-16, whatever the process's code page.
#pragma once

#include <cstddef>

#include "platform/win32.h"

// Appends text to the NUL-terminated wide text in out (size units), cutting what does not fit.
void append_wide(WCHAR* out, size_t size, const WCHAR* text);
// Appends a code page 932 text, converted from 932 explicitly: the ANSI functions would read it in
// the process's code page. False, with nothing appended, when it can't be converted or fit.
bool append_cp932_as_wide(WCHAR* out, size_t size, const char* text);
// Shows text in a box with only OK, under "ＵＰＤＡＴＥの失敗 / Update failed" (the English
// alone when the Japanese can't be converted).
void show_wide_stop(const WCHAR* text);
