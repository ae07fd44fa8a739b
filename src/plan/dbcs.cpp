// Character-aware tests on the end of a path.
#include "dbcs.h"

#include <cstring>

size_t last_char_offset(const char* s, size_t len) {
  size_t last = len;
  for (size_t i = 0; i < len;) {
    last = i;
    i += (ansi_lead_byte(static_cast<unsigned char>(s[i])) && i + 1 < len) ? 2 : 1;
  }
  return last;
}

bool ends_with_backslash_char(const char* s) {
  size_t len = strlen(s);
  if (len == 0) return false;
  size_t last = last_char_offset(s, len);
  return last == len - 1 && s[last] == '\\';
}

void remove_trailing_backslash_char(char* s) {
  if (ends_with_backslash_char(s)) s[strlen(s) - 1] = '\0';
}
