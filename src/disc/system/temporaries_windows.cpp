// The Windows half of temporaries.h.
#include "temporaries.h"

#include <windows.h>

unsigned long process_id() {
  return GetCurrentProcessId();
}
