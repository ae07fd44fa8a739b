// The splitter and the key of names; see names.h.
#include "names.h"

#include <algorithm>

#include "cp932_text.h"
#include "setuplist/text.h"
#include "system.h"

namespace {

bool is_separator(char c, NameText text) {
  return c == '/' || (c == '\\' && text != NameText::file_system);
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
  std::string key;
  key.reserve(name.size());
  for (size_t start = 0; start <= name.size();) {
    size_t end = std::min(next_separator(name, start, text), name.size());
    std::string_view part = name.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".") continue;
    if (!key.empty()) key += '\\';
    key += upper_case_utf8(text == NameText::cp932 ? std::string_view(cp932_to_utf8(part)) : part);
  }
  return key;
}

std::string game_name_key(const std::string& cp932_name) {
  return name_key(cp932_name, NameText::cp932);
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
