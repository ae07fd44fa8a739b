// The checks of the names a list gives, and their wordings.
#include "file_names.h"

#include <cstring>

#include "dbcs.h"
#include "name_identity.h"

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

bool is_second_byte_after_lead(const char* p) {
  return ansi_lead_byte(static_cast<unsigned char>(p[0])) &&
         static_cast<unsigned char>(p[1]) >= 0x40;
}

// The first character Windows does not allow in a name, or 0 when there is none; a control
// character comes back as itself.
char refused_character(const char* name) {
  for (const char* p = name; *p != '\0'; ++p) {
    if (is_second_byte_after_lead(p)) {
      ++p;
    } else if (static_cast<unsigned char>(*p) < 0x20 || strchr("<>\"|?*", *p) != nullptr) {
      return *p;
    }
  }
  return 0;
}

// Windows drops the dots and blanks that end a level (a lone "." is the folder itself).
bool has_level_changed_by_windows(const char* name) {
  size_t start = 0;
  for (size_t i = 0;; ++i) {
    if (name[i] == '\0' || is_separator(name[i])) {
      size_t len = i - start;
      char last = len > 0 ? name[i - 1] : '\0';
      if ((last == '.' || last == ' ') && !(len == 1 && last == '.')) return true;
      if (name[i] == '\0') return false;
      start = i + 1;
    } else if (is_second_byte_after_lead(name + i)) {
      ++i;
    }
  }
}

// Whether the name's first level is the disc's own update.ini or update.exe to Windows.
bool is_disc_file(const char* name) {
  char key[1024];
  game_file_key(name, key, sizeof key);
  char* end = strchr(key, '\\');
  if (end != nullptr) *end = '\0';
  return strcmp(key, "UPDATE.INI") == 0 || strcmp(key, "UPDATE.EXE") == 0;
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

NameCheck check_file_name(const char* name, bool beside_disc_files) {
  if (!is_safe_file_name(name)) return {NameRefusal::outside, 0};
  char c = refused_character(name);
  if (c != 0) return {NameRefusal::character, c};
  if (has_level_changed_by_windows(name)) return {NameRefusal::changed, 0};
  if (beside_disc_files && is_disc_file(name)) return {NameRefusal::disc_file, 0};
  return {NameRefusal::none, 0};
}

const char* name_refusal_text(NameRefusal refusal) {
  switch (refusal) {
    case NameRefusal::outside:
      return "would land outside the game folder (a '..' level, a leading '\\' or '/', a drive, a "
             "stream or a device name such as CON or NUL.TXT); the updater refuses it";
    case NameRefusal::character:
      return "has a character that Windows does not allow in a name (< > \" | ? * or a control "
             "character); the copy fails";
    case NameRefusal::changed:
      return "has a level that ends in a dot or a blank, which Windows drops: the file lands "
             "under another name";
    case NameRefusal::disc_file:
      return "is the name of the disc's own update.ini or update.exe, which sit in the disc's "
             "top folder";
    case NameRefusal::none:
      break;
  }
  return "";
}
