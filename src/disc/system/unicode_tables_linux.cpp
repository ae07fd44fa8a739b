// The Linux half of unicode_tables.h: utf8proc.
#include "unicode_tables.h"

#include <utf8proc.h>

#include <algorithm>
#include <cstdlib>

char32_t upper_case_unit(char32_t unit) {
  if (unit >= 0x10000) return unit;
  auto upper = static_cast<char32_t>(utf8proc_toupper(static_cast<utf8proc_int32_t>(unit)));
  return upper < 0x10000 ? upper : unit;  // one unit for one
}

std::string compose_name(const std::string& utf8) {
  // An ASCII name is composed already; most names are.
  if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return (c & 0x80) == 0; })) return utf8;
  utf8proc_uint8_t* composed =
      utf8proc_NFC(reinterpret_cast<const utf8proc_uint8_t*>(utf8.c_str()));
  if (composed == nullptr) return utf8;  // not UTF-8
  std::string out(reinterpret_cast<const char*>(composed));
  free(composed);  // utf8proc allocates with malloc
  return out;
}
