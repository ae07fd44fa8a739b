// The two ways of seeding the registry for a test.
#include "registry_seed.h"

#include "platform/win32.h"

#ifdef _WIN32

void seed_delete_key(const std::string& key) {
  RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
}

void seed_value(const std::string& key, const std::string& name, uint32_t type,
                const std::string& data) {
  HKEY handle;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &handle, nullptr) != ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(handle, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                 static_cast<DWORD>(data.size()));
  RegCloseKey(handle);
}

bool seed_key_exists(const std::string& key) {
  HKEY handle;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(handle);
  return true;
}

size_t seed_value_count(const std::string& key) {
  HKEY handle;
  DWORD count = 0;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) == ERROR_SUCCESS) {
    RegQueryInfoKeyA(handle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(handle);
  }
  return count;
}

#else

#include "standin/standin_control.h"

void seed_delete_key(const std::string&) {
  standin::reset();
}

void seed_value(const std::string& key, const std::string& name, uint32_t type,
                const std::string& data) {
  standin::reg_set_value(key, name, type, data);
}

bool seed_key_exists(const std::string& key) {
  return standin::reg_key_exists(key);
}

size_t seed_value_count(const std::string& key) {
  return standin::reg_value_count(key);
}

#endif
