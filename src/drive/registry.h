// The game's registry key under HKEY_CURRENT_USER, written and read with the real registry
// functions, as an installer and a player's machine would leave it. Keys and names are code page
// 932 bytes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace drive {

struct RegValue {
  std::string name;
  DWORD type;
  std::string data;  // the raw bytes stored, terminators included
};

// A string value as RegSetValueExA stores it: the text and its terminator.
RegValue string_value(const std::string& name, const std::string& text, DWORD type = REG_SZ);

// Creates the key when missing and sets the values in the order given.
void set_values(const std::string& key, const std::vector<RegValue>& values);

// Deletes one value; a missing key or value is fine.
void delete_value(const std::string& key, const std::string& name);

// Deletes the key and everything below it; a missing key is fine.
void delete_key(const std::string& key);

enum class KeyState { missing, empty, not_empty };
KeyState key_state(const std::string& key);
const char* key_state_name(KeyState state);

// Whether the key holds a value of that name.
bool has_value(const std::string& key, const std::string& name);

// A value's type and bytes exactly as the registry stores them, strings in UTF-16: read through
// the 8-bit functions, a character code page 932 lacks (é) would come back as another. False when
// the key or the value is missing.
bool read_stored_value(const std::string& key, const std::string& name, RegValue* value);
// Writes such a value back as it was, making the key when missing.
void write_stored_value(const std::string& key, const RegValue& value);

// Deletes the key when it holds neither values nor keys; true when it is gone (or was).
bool delete_key_if_empty(const std::string& key);

// The names of the key's values in the order RegEnumValueA gives them.
std::vector<std::string> value_names(const std::string& key);

}  // namespace drive
