// Bounded string copies for the fixed-width fields of the setup list.
#include "text.h"

#include <cstring>

bool copy_bounded(char* dst, size_t width, const char* src) {
  if (width == 0) return false;
  dst[0] = '\0';
  return append_bounded(dst, width, src);
}

bool append_bounded(char* dst, size_t width, const char* src) {
  size_t used = strnlen(dst, width);
  if (used >= width) return false;  // dst was not terminated within its width: leave it alone
  size_t len = strlen(src);
  size_t room = width - 1 - used;
  size_t n = len < room ? len : room;
  memcpy(dst + used, src, n);
  dst[used + n] = '\0';
  return n == len;  // cppcheck-suppress knownConditionTrueFalse ; false only when src was cut
}

bool copy_cut_cp932(char* dst, size_t width, const char* src) {
  if (width == 0) return false;
  size_t len = strlen(src);
  if (len < width) {
    memcpy(dst, src, len + 1);
    return true;
  }
  // Walk whole characters and stop before the one that would not fit.
  size_t n = 0;
  while (n < width - 1) {
    size_t step = is_cp932_lead(static_cast<unsigned char>(src[n])) && src[n + 1] != '\0' ? 2 : 1;
    if (n + step > width - 1) break;
    n += step;
  }
  memcpy(dst, src, n);
  dst[n] = '\0';
  return false;
}
