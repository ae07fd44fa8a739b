// The setup list arrives in the same lines on both builds: the Windows runtime's text mode on
// Windows, our own translation on Linux. This one table runs against both.
#include <gtest/gtest.h>

#include <cstdio>

#include "setuplist/list_reader.h"
#include "test_support.h"

namespace {

struct ReaderCase {
  const char* name;
  std::string bytes;
  std::vector<std::string> lines;
};

std::vector<std::string> read_all(const std::string& bytes) {
  std::string path = unique_temp_path("lines");
  write_bytes(path, bytes);
  FILE* file = open_setup_list(path.c_str());
  std::vector<std::string> lines;
  char buf[512];
  while (read_list_line(buf, sizeof buf, file) != nullptr)
    lines.emplace_back(buf);
  (void)fclose(file);
  (void)std::remove(path.c_str());
  return lines;
}

std::string repeat(char c, size_t n) {
  return std::string(n, c);
}

void PrintTo(const ReaderCase& c, std::ostream* os) {
  *os << c.name;
}

class ListReader : public testing::TestWithParam<ReaderCase> {};

TEST_P(ListReader, ReadsTheLinesOfTextMode) {
  EXPECT_EQ(read_all(GetParam().bytes), GetParam().lines);
}

const ReaderCase kReaderCases[] = {
    {"empty_file", "", {}},
    {"lf_lines", "a\nb\n", {"a\n", "b\n"}},
    {"crlf_becomes_lf", "a\r\nb\r\n", {"a\n", "b\n"}},
    {"lone_cr_stays", "a\rb\n", {"a\rb\n"}},
    {"cr_cr_lf_gives_cr_lf", "a\r\r\nb", {"a\r\n", "b"}},
    {"last_line_without_lf", "a\nlast", {"a\n", "last"}},
    {"cr_at_end_of_file", "a\r", {"a\r"}},
    {"ctrl_z_ends_the_file",
     "a\nb\x1A"
     "c\nd\n",
     {"a\n", "b"}},
    {"ctrl_z_first",
     "\x1A"
     "a\n",
     {}},
    {"ctrl_z_after_last_line", "a\n\x1A", {"a\n"}},
    {"cr_before_ctrl_z", "a\r\x1A\n", {"a\r"}},
    {"empty_lines", "\n\r\n\n", {"\n", "\n", "\n"}},
    {"510_bytes_and_crlf_fit", repeat('x', 510) + "\r\n", {repeat('x', 510) + "\n"}},
    {"511_bytes_and_crlf_split", repeat('x', 511) + "\r\n", {repeat('x', 511), "\n"}},
    {"600_bytes_in_two_pieces",
     repeat('y', 600) + "\n",
     {repeat('y', 511), repeat('y', 89) + "\n"}},
    {"crlf_across_the_cut", repeat('z', 510) + "\r\nq\n", {repeat('z', 510) + "\n", "q\n"}},
    {"double_byte_text", "\x83\x5C\x95\x5C\r\n", {"\x83\x5C\x95\x5C\n"}},
};

INSTANTIATE_TEST_SUITE_P(Table, ListReader, testing::ValuesIn(kReaderCases), CaseName());

}  // namespace
