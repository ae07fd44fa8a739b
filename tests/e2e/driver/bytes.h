// Comparing and showing the code page 932 texts that update.exe shows.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace e2e {

// The bytes as UTF-8, for messages a Linux terminal shows; a byte of no character as U+FFFD.
std::string utf8_of(const std::string& cp932);

// Hex of every byte, for spotting a single wrong byte in a long text.
std::string hex_of(const std::string& bytes);

// Byte-for-byte equality that shows both texts readably when they differ.
testing::AssertionResult SameBytes(const char* actual_expr, const char* expected_expr,
                                   const std::string& actual, const std::string& expected);

}  // namespace e2e

#define EXPECT_BYTES(actual, expected) EXPECT_PRED_FORMAT2(::e2e::SameBytes, actual, expected)
#define ASSERT_BYTES(actual, expected) ASSERT_PRED_FORMAT2(::e2e::SameBytes, actual, expected)
