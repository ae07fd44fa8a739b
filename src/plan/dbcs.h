// Double-byte character rules for paths. Windows reads the bytes of an "A" path by the lead bytes
// of the system's ANSI code page, so path splitting and joining ask the system which bytes lead.
#pragma once

#include <cstddef>

// True when b is a lead byte of the system's ANSI code page (on code page 932: 0x81-0x9F and
// 0xE0-0xFC).
bool ansi_lead_byte(unsigned char b);

// Offset of the first byte of the last character of s, reading s from its start by the lead
// bytes of the system's code page; len when s is empty. A lead byte right before the terminator
// counts as a character of its own.
size_t last_char_offset(const char* s, size_t len);

// True when the last character of s is a backslash: a backslash that is the second byte of a
// double-byte character (ソ is 83 5C, 表 is 95 5C) does not count.
bool ends_with_backslash_char(const char* s);
// Removes one trailing backslash character, if there is one.
void remove_trailing_backslash_char(char* s);
