// The game's registry key under HKEY_CURRENT_USER; see registry.h.
#include "registry.h"

#include "error.h"

namespace drive {

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

namespace {

std::wstring wide_of(const std::string& cp932) {
  int n = MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), wide.data(), n);
  return wide;
}

}  // namespace

bool read_stored_value(const std::string& key, const std::string& name, RegValue* value) {
  OpenKey open;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, wide_of(key).c_str(), 0, KEY_QUERY_VALUE, &open.key) !=
      ERROR_SUCCESS) {
    return false;
  }
  std::wstring wide_name = wide_of(name);
  // The value may grow between two calls: asked again until the room was enough.
  for (DWORD size = 512;;) {
    std::string data(size, '\0');
    DWORD type = 0;
    LSTATUS status = RegQueryValueExW(open.key, wide_name.c_str(), nullptr, &type,
                                      reinterpret_cast<BYTE*>(data.data()), &size);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS) return false;
    data.resize(size);
    *value = RegValue{name, type, data};
    return true;
  }
}

void write_stored_value(const std::string& key, const RegValue& value) {
  OpenKey open;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, wide_of(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &open.key, nullptr) != ERROR_SUCCESS) {
    fail("cannot create HKCU\\" + key);
  }
  if (RegSetValueExW(open.key, wide_of(value.name).c_str(), 0, value.type,
                     reinterpret_cast<const BYTE*>(value.data.data()),
                     static_cast<DWORD>(value.data.size())) != ERROR_SUCCESS) {
    fail("cannot set " + value.name + " under HKCU\\" + key);
  }
}

bool delete_key_if_empty(const std::string& key) {
  KeyState state = key_state(key);
  if (state == KeyState::missing) return true;
  if (state == KeyState::not_empty) return false;
  return RegDeleteKeyW(HKEY_CURRENT_USER, wide_of(key).c_str()) == ERROR_SUCCESS;
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

}  // namespace drive
