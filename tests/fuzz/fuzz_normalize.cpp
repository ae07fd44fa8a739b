// Any text in the folder box (up to its 1,023 bytes) through the normalisation.
#include <cstdint>
#include <cstring>

#include "plan/destination.h"
#include "plan/update_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The box gives at most 1,023 bytes and stops at the first NUL, as GetDlgItemTextA does.
  size_t n = size < kDestinationWidth - 1 ? size : kDestinationWidth - 1;
  memcpy(DestinationPath, data, n);
  DestinationPath[n] = '\0';
  normalize_destination();
  // The result is the drive and at most 254 bytes of path.
  if (strlen(DestinationPath) > 256) __builtin_trap();
  return 0;
}
