// The Linux half of console_io.h: a terminal takes UTF-8 as it is, and no file manager hands a
// program a terminal that closes when it ends.
#include "console_io.h"

#include <sys/ioctl.h>
#include <unistd.h>

bool write_text(FILE* stream, std::string_view utf8) {
  return fwrite(utf8.data(), 1, utf8.size(), stream) == utf8.size();
}

bool shows_on_console(FILE* stream) {
  return isatty(fileno(stream)) == 1;
}

unsigned console_columns(FILE* stream) {
  winsize size{};
  if (ioctl(fileno(stream), TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
}

bool console_of_its_own() {
  return false;
}

void forget_typed_keys() {}

void wait_for_key() {}
