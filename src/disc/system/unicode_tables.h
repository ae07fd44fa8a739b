// Unicode's case and composition tables as the platform has them: utf8proc on Linux, the locale
// functions on Windows.
#pragma once

#include <string>

// The capital of one UTF-16 unit, as NTFS compares names: simple upper-casing, one unit for one
// (a unit with no capital is itself). Only units below U+10000: NTFS leaves surrogates alone.
char32_t upper_case_unit(char32_t unit);

// A name (UTF-8) composed (NFC), as it goes on a disc: kana with a separate voicing mark, as some
// systems and archivers write them, become the one character code page 932 has. A text that isn't
// UTF-8 comes back as it is.
std::string compose_name(const std::string& utf8);
