// What update-try must put back when a run ends: the GAMEPATH values it is about to change, as
// they were (the value's type and bytes, or its absence, and how much of its key existed), and
// the copy of the game it makes. Written to a small file before the first change, so that a run
// ended before it could put them back is mended at the next start.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SavedValue {
  std::string key;  // below HKEY_CURRENT_USER, code page 932
  std::string name;
  int existing_levels = 0;  // how many levels of the key existed, from the top
  bool present = false;
  uint32_t type = 0;
  std::string data;  // the bytes as the registry stores them (strings in UTF-16)
};

struct Journal {
  std::string copy;  // the copy of the game to remove (UTF-8); empty when it is kept
  std::vector<SavedValue> values;
};

std::string journal_text(const Journal& journal);
// False for a text that is not a whole journal of this form: it is then left alone.
bool parse_journal(const std::string& text, Journal* journal);

// The key and the keys above it, from the top: "a\b\c" gives "a", "a\b", "a\b\c". A 0x5C second
// byte of a double-byte character (ソ, 表) separates nothing.
std::vector<std::string> key_levels(const std::string& key);
