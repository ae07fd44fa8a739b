// The Linux half of console_io.h: a terminal takes UTF-8 as it is.
#include "console_io.h"

unsigned console_to_utf8() {
  return 0;
}

void console_restore(unsigned) {}
