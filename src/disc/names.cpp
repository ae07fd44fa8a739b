// The splitter and the key of names; see names.h.
#include "names.h"

#include <algorithm>
#include <cstring>

#include "cp932_text.h"
#include "plan/name_identity.h"
#include "setuplist/text.h"
#include "system/unicode_tables.h"

namespace {

bool is_separator(char c, NameText text) {
  return c == '/' || (c == '\\' && text != NameText::file_system && text != NameText::composed);
}

// Offset of the next separator at or after from, read by whole characters; npos when none. A
// code page 932 lead byte takes the byte after it along; UTF-8 never has a separator byte inside a
// character.
size_t next_separator(std::string_view name, size_t from, NameText text) {
  for (size_t i = from; i < name.size(); ++i) {
    if (text == NameText::cp932 && is_cp932_lead(static_cast<unsigned char>(name[i]))) {
      ++i;
    } else if (is_separator(name[i], text)) {
      return i;
    }
  }
  return std::string_view::npos;
}

bool is_ascii(std::string_view s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// One level of a file-system name (UTF-8): composed, as the disc will carry it, and without the
// dots and blanks Windows drops at its end, each UTF-16 unit as its capital. For a character of
// code page 932 that is the capital the list's identity gives (the tests prove the two tables one
// for every code of the code page); converting every name there and back would cost a game of
// Japanese names twice the time.
std::string part_key(const std::string& level, NameText text) {
  if (is_ascii(level)) return game_name_key(level);
  std::string composed = text == NameText::composed ? level : compose_name(level);
  while (!composed.empty() && (composed.back() == '.' || composed.back() == ' '))
    composed.pop_back();
  return upper_case_utf8(composed);
}

}  // namespace

std::vector<std::string> name_levels(std::string_view name, NameText text) {
  std::vector<std::string> levels;
  size_t start = 0;
  for (;;) {
    size_t end = next_separator(name, start, text);
    levels.emplace_back(name.substr(start, end - start));
    if (end == std::string_view::npos) return levels;
    start = end + 1;
  }
}

std::vector<std::string> name_parts(std::string_view name, NameText text) {
  std::vector<std::string> parts;
  for (std::string& level : name_levels(name, text)) {
    if (!level.empty() && level != ".") parts.push_back(std::move(level));
  }
  return parts;
}

size_t after_last_separator(std::string_view name, NameText text) {
  size_t end = 0;
  for (size_t at = next_separator(name, 0, text); at != std::string_view::npos;
       at = next_separator(name, at + 1, text)) {
    end = at + 1;
  }
  return end;
}

std::string folder_of(const std::string& name, NameText text) {
  size_t end = after_last_separator(name, text);
  return name.substr(0, end == 0 ? 0 : end - 1);
}

std::vector<std::string> folders_above(const std::string& name, NameText text) {
  std::vector<std::string> folders;
  for (size_t at = next_separator(name, 0, text); at != std::string_view::npos;
       at = next_separator(name, at + 1, text)) {
    folders.push_back(name.substr(0, at));
  }
  return folders;
}

// The levels are walked in place, not split into strings first: update-make asks for the keys of
// every name of two versions of a game.
std::string name_key(std::string_view name, NameText text) {
  if (text == NameText::cp932) return game_name_key(std::string(name));
  std::string key;
  key.reserve(name.size());
  for (size_t start = 0; start <= name.size();) {
    size_t end = std::min(next_separator(name, start, text), name.size());
    std::string part = part_key(std::string(name.substr(start, end - start)), text);
    start = end + 1;
    if (part.empty()) continue;  // an empty or "." level, or one of dots and blanks
    if (!key.empty()) key += '\\';
    key += part;
  }
  return key;
}

std::string game_name_key(const std::string& cp932_name) {
  std::string key(cp932_name.size() + 1, '\0');
  game_file_key(cp932_name.c_str(), key.data(), key.size());
  key.resize(strlen(key.c_str()));
  return cp932_to_utf8(key);
}

std::string upper_case_utf8(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    char a = s[i];
    if (static_cast<unsigned char>(a) < 0x80) {  // most names are ASCII: their capitals are ASCII
      out += a >= 'a' && a <= 'z' ? static_cast<char>(a - 'a' + 'A') : a;
      ++i;
      continue;
    }
    char32_t c;
    size_t len = next_utf8_char(s.substr(i), &c);
    if (len == 0) {  // not a character: as it is
      out += s[i++];
      continue;
    }
    append_utf8(upper_case_unit(c), &out);
    i += len;
  }
  return out;
}
