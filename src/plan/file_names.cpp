// The check that keeps every copy inside the game folder.
#include "file_names.h"

#include <cstring>

#include "dbcs.h"

namespace {

bool is_separator(char c) {
  return c == '\\' || c == '/';
}

char upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Windows drops trailing dots and spaces from a component, so ".. " and "..." lead up too.
bool leads_up(const char* begin, size_t len) {
  size_t dots = 0;
  for (size_t i = 0; i < len; ++i) {
    if (begin[i] == '.') {
      ++dots;
    } else if (begin[i] != ' ') {
      return false;
    }
  }
  return dots >= 2;
}

// A device name is the component's base name (before its first dot), trailing blanks ignored.
bool is_device_name(const char* begin, size_t len) {
  size_t base = 0;
  while (base < len && begin[base] != '.')
    ++base;
  while (base > 0 && begin[base - 1] == ' ')
    --base;
  char word[5] = {};
  if (base < 3 || base > 4) return false;
  for (size_t i = 0; i < base; ++i)
    word[i] = upper(begin[i]);
  if (base == 3) {
    return strcmp(word, "CON") == 0 || strcmp(word, "PRN") == 0 || strcmp(word, "AUX") == 0 ||
           strcmp(word, "NUL") == 0;
  }
  bool numbered = strncmp(word, "COM", 3) == 0 || strncmp(word, "LPT", 3) == 0;
  return numbered && word[3] >= '1' && word[3] <= '9';
}

bool is_safe_component(const char* begin, size_t len) {
  return !leads_up(begin, len) && !is_device_name(begin, len);
}

}  // namespace

bool is_safe_file_name(const char* name) {
  if (name[0] == '\0' || is_separator(name[0])) return false;
  size_t len = strlen(name);
  size_t start = 0;
  for (size_t i = 0; i < len;) {
    // A lead byte takes the next byte only when that can be a second byte at all (0x40 and up):
    // a ':', '/' or '.' after a stray lead byte still counts as itself, as it does when Windows
    // converts the name.
    if (ansi_lead_byte(static_cast<unsigned char>(name[i])) &&
        static_cast<unsigned char>(name[i + 1]) >= 0x40) {
      i += 2;
      continue;
    }
    if (name[i] == ':') return false;
    if (is_separator(name[i])) {
      if (!is_safe_component(name + start, i - start)) return false;
      start = i + 1;
    }
    ++i;
  }
  return is_safe_component(name + start, len - start);
}
