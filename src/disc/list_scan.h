// A second reading of the setup list, piece by piece in step with the parser, for what the
// parser's C strings don't show: bytes after a NUL, the editor's line numbers, lines cut into
// pieces, bytes that aren't code page 932, and text after a Ctrl-Z.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "report.h"

class ListScan {
 public:
  explicit ListScan(FILE* file) : file_(file) {}

  // Reads the piece the parser has just read as its line parser_line, and returns the editor's
  // line number of that piece.
  int next_piece(int parser_line);
  // The editor's line number of a line number the parser gave earlier.
  int file_line_of(int parser_line) const;
  // Reports the last line, and looks for text after a Ctrl-Z (the reader stops at one).
  void finish(const char* list_path);

  std::vector<Problem>& problems() { return problems_; }
  // A list in another encoding is reported once, as a whole, not line by line.
  void skip_code_page_check() { check_code_page_ = false; }
  void skip_byte_order_mark() { skip_bom_ = true; }

 private:
  struct Breakpoint {
    int parser_line;
    int file_line;
  };

  void check_piece(const char* piece, size_t len, bool ends_line);
  void end_line();
  void note_ctrl_z(FILE* raw);

  FILE* file_;
  bool in_step_ = true;  // false once this reading ran out before the parser's
  bool check_code_page_ = true;
  bool skip_bom_ = false;
  std::vector<Breakpoint> breakpoints_;
  std::vector<Problem> problems_;

  // The editor's line being read.
  int line_ = 1;
  int pieces_ = 0;
  size_t length_ = 0;                 // bytes so far, the line end not counted
  bool continued_with_text_ = false;  // a later piece held more than the line end
  std::string held_lead_;             // a lead byte cut off from its second byte
  size_t invalid_count_ = 0;
  size_t first_invalid_column_ = 0;
  unsigned first_invalid_byte_ = 0;
  size_t nul_column_ = 0;  // 0: no NUL byte
};
