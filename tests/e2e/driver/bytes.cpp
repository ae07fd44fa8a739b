// Comparing and showing the code page 932 texts that update.exe shows.
#include "bytes.h"

#include <windows.h>

#include <cstdio>

namespace e2e {

namespace {

std::wstring wide_of(const std::string& cp932) {
  int n = MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), wide.data(), n);
  return wide;
}

}  // namespace

std::string utf8_of(const std::string& cp932) {
  std::wstring wide = wide_of(cp932);
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n,
                      nullptr, nullptr);
  return utf8;
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
