// The names of the copy's temporary files.
#include "temp_names.h"

#include <cstring>

#include "dbcs.h"
#include "setuplist/text.h"

namespace {

bool is_hex_digit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool same_ignoring_case(const char* a, const char* b, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
    if (x != b[i]) return false;
  }
  return true;
}

}  // namespace

bool make_temp_name(char* out, size_t width, const char* folder, unsigned number) {
  static const char kDigits[] = "0123456789ABCDEF";
  char name[] = "\\updXXXX.tmp";
  for (int i = 0; i < 4; ++i)
    name[7 - i] = kDigits[(number >> (4 * i)) & 0xF];
  const size_t length = strlen(folder);
  const bool separated =
      length > 0 && (ends_with_backslash_char(folder) || folder[length - 1] == '/');
  bool fits = copy_bounded(out, width, folder);
  return append_bounded(out, width, separated ? name + 1 : name) && fits;
}

bool is_temp_name(const char* name) {
  const size_t length = strlen(name);
  if (length < 8 || length > 11 || !same_ignoring_case(name, "upd", 3) ||
      !same_ignoring_case(name + length - 4, ".tmp", 4)) {
    return false;
  }
  for (size_t i = 3; i < length - 4; ++i) {
    if (!is_hex_digit(name[i])) return false;
  }
  return true;
}
