// The Linux half of temporaries.h.
#include "temporaries.h"

#include <unistd.h>

unsigned long process_id() {
  return static_cast<unsigned long>(getpid());
}
