// Putting values into the registry for a test: the real registry under Wine, the stand-in's on
// Linux. Keys are below HKEY_CURRENT_USER.
#pragma once

#include <cstdint>
#include <string>

void seed_delete_key(const std::string& key);
void seed_value(const std::string& key, const std::string& name, uint32_t type,
                const std::string& data);
bool seed_key_exists(const std::string& key);
size_t seed_value_count(const std::string& key);
