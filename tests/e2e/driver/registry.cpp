// The game's registry key under HKEY_CURRENT_USER, written and read with the real registry
// functions, as an installer and a player's machine would leave it.
#include "registry.h"

#include "environment.h"

namespace e2e {

namespace {

struct OpenKey {
  HKEY key = nullptr;
  ~OpenKey() {
    if (key != nullptr) RegCloseKey(key);
  }
};

}  // namespace

RegValue string_value(const std::string& name, const std::string& text, DWORD type) {
  return RegValue{name, type, text + std::string(1, '\0')};
}

void set_values(const std::string& key, const std::vector<RegValue>& values) {
  OpenKey open;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &open.key, nullptr) != ERROR_SUCCESS) {
    fail("cannot create HKCU\\" + key);
  }
  for (const RegValue& value : values) {
    auto data = reinterpret_cast<const BYTE*>(value.data.data());
    if (RegSetValueExA(open.key, value.name.c_str(), 0, value.type, data,
                       static_cast<DWORD>(value.data.size())) != ERROR_SUCCESS) {
      fail("cannot set " + value.name + " under HKCU\\" + key);
    }
  }
}

void delete_value(const std::string& key, const std::string& name) {
  OpenKey open;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_SET_VALUE, &open.key) != ERROR_SUCCESS) {
    return;
  }
  LSTATUS status = RegDeleteValueA(open.key, name.c_str());
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
    fail("cannot delete " + name + " under HKCU\\" + key);
  }
}

void delete_key(const std::string& key) {
  LSTATUS status = RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
  if (status == ERROR_SUCCESS) status = RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
    fail("cannot delete HKCU\\" + key);
  }
}

KeyState key_state(const std::string& key) {
  OpenKey open;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &open.key) != ERROR_SUCCESS) {
    return KeyState::missing;
  }
  DWORD subkeys = 0;
  DWORD values = 0;
  if (RegQueryInfoKeyA(open.key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                       nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    fail("cannot query HKCU\\" + key);
  }
  return subkeys == 0 && values == 0 ? KeyState::empty : KeyState::not_empty;
}

const char* key_state_name(KeyState state) {
  switch (state) {
    case KeyState::missing:
      return "missing";
    case KeyState::empty:
      return "empty";
    case KeyState::not_empty:
      return "not empty";
  }
  return "?";
}

bool has_value(const std::string& key, const std::string& name) {
  OpenKey open;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &open.key) != ERROR_SUCCESS) {
    return false;
  }
  return RegQueryValueExA(open.key, name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

std::vector<std::string> value_names(const std::string& key) {
  OpenKey open;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &open.key) != ERROR_SUCCESS) {
    fail("cannot open HKCU\\" + key);
  }
  std::vector<std::string> names;
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD length = sizeof name;
    if (RegEnumValueA(open.key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      return names;
    }
    names.emplace_back(name, length);
  }
}

}  // namespace e2e
