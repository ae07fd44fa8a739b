// How this system opens and reads the setup list: the C runtime's own text mode on Windows, as
// the updater always read it; on Linux, whose C library has none, the same translation by hand.
#include "setuplist/list_reader.h"

#ifdef _WIN32

FILE* open_setup_list(const char* path) {
  return fopen(path, "rt");
}

char* read_list_line(char* buf, int size, FILE* file) {
  return fgets(buf, size, file);
}

#else

FILE* open_setup_list(const char* path) {
  return fopen(path, "rb");
}

char* read_list_line(char* buf, int size, FILE* file) {
  return read_text_mode_line(buf, size, file);
}

#endif
