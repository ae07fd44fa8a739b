// Reading GAMEPATH from the game's registry key.
#include "game_registry.h"

#include <cstring>

#include "platform/win32.h"

namespace {

constexpr DWORD kNameBufferSize = 256;
constexpr DWORD kDataBufferSize = 256;

// Closes the key on every way out of the enumeration.
struct KeyCloser {
  HKEY key;
  ~KeyCloser() { RegCloseKey(key); }
};

// Takes the value's bytes up to its first NUL. Data stored without a terminator is taken as the
// bytes returned; a double-byte Windows may report more bytes than it wrote, so no more than the
// buffer is ever read.
void copy_value_data(char* destination, const BYTE* data, DWORD data_len) {
  size_t n = data_len < kDataBufferSize ? data_len : kDataBufferSize;
  const void* nul = memchr(data, '\0', n);
  if (nul != nullptr) n = static_cast<size_t>(static_cast<const BYTE*>(nul) - data);
  memcpy(destination, data, n);
  destination[n] = '\0';
}

}  // namespace

void read_game_registry(const char* key_path, char* destination) {
  destination[0] = '\0';

  HKEY key;
  DWORD disposition;
  char no_class[] = "";
  if (RegCreateKeyExA(HKEY_CURRENT_USER, key_path, 0, no_class, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS) {
    return;
  }
  KeyCloser closer{key};

  // Every call starts from fresh lengths; any nonzero result, "more data" included, ends the
  // enumeration, so a value too big for the buffers hides the values after it.
  for (DWORD index = 0;; ++index) {
    char name[kNameBufferSize];
    BYTE data[kDataBufferSize];
    DWORD name_len = kNameBufferSize;
    DWORD type = 0;
    DWORD data_len = kDataBufferSize;
    name[0] = '\0';
    data[0] = 0;
    if (RegEnumValueA(key, index, name, &name_len, nullptr, &type, data, &data_len) !=
        ERROR_SUCCESS) {
      break;
    }
    if (strcmp(name, "GAMEPATH") == 0) copy_value_data(destination, data, data_len);
  }
}
