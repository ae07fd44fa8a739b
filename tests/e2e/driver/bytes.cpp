// Comparing and showing the code page 932 texts that update.exe shows.
#include "bytes.h"

#include <cstdio>

#include "disc/cp932_text.h"

namespace e2e {

std::string utf8_of(const std::string& cp932) {
  return cp932_to_utf8(cp932);
}

std::string hex_of(const std::string& bytes) {
  std::string out;
  char cell[4];
  for (unsigned char c : bytes) {
    (void)snprintf(cell, sizeof cell, "%02X ", c);
    out += cell;
  }
  if (!out.empty()) out.pop_back();
  return out;
}

testing::AssertionResult SameBytes(const char* actual_expr, const char* expected_expr,
                                   const std::string& actual, const std::string& expected) {
  if (actual == expected) return testing::AssertionSuccess();
  return testing::AssertionFailure()
         << actual_expr << " differs from " << expected_expr << "\n  actual:   \""
         << utf8_of(actual) << "\"\n            " << hex_of(actual) << "\n  expected: \""
         << utf8_of(expected) << "\"\n            " << hex_of(expected);
}

}  // namespace e2e
