// Text-mode reading of the setup list, done by hand; see list_reader.h for why.
#include "list_reader.h"

namespace {
constexpr int kCtrlZ = 0x1A;

// One byte of the translated stream, or EOF. Ctrl-Z is pushed back so that every later read
// meets it again: once seen, the file has ended for good (until the next fseek).
int text_mode_getc(FILE* file) {
  int c = getc(file);
  if (c == kCtrlZ) {
    (void)ungetc(c, file);
    return EOF;
  }
  if (c == '\r') {
    int next = getc(file);
    if (next == '\n') return '\n';
    if (next != EOF) (void)ungetc(next, file);
  }
  return c;
}
}  // namespace

char* read_text_mode_line(char* buf, int size, FILE* file) {
  if (size <= 0) return nullptr;
  int n = 0;
  while (n < size - 1) {
    int c = text_mode_getc(file);
    if (c == EOF) break;
    buf[n++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  if (n == 0) return nullptr;
  buf[n] = '\0';
  return buf;
}
