// The second reading of the setup list; see list_scan.h for what it is for.
#include "list_scan.h"

#include <algorithm>
#include <cstring>

#include "cp932_text.h"
#include "setuplist/list_reader.h"
#include "system/files.h"

namespace {

// The parser's line buffer: a line of more than 511 bytes reaches it in pieces.
constexpr int kLineBuffer = 512;
constexpr int kCtrlZ = 0x1A;

std::string hex_byte(unsigned value) {
  const char digits[] = "0123456789ABCDEF";
  return std::string("0x") + digits[(value >> 4) & 15] + digits[value & 15];
}

// The reader reports no length, and a NUL from the file looks like the end of the text. With the
// buffer filled beforehand, the reader's own terminator is the last NUL in it.
size_t piece_length(const char* buf) {
  size_t len = kLineBuffer - 1;
  while (len > 0 && buf[len] != '\0')
    --len;
  return len;
}

bool is_blank_or_line_end(int c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == kCtrlZ;
}

}  // namespace

int ListScan::next_piece(int parser_line) {
  if (!in_step_) return file_line_of(parser_line);
  char buf[kLineBuffer];
  memset(buf, 0x01, sizeof buf);
  if (read_list_line(buf, kLineBuffer, file_) == nullptr) {
    in_step_ = false;  // the file changed under us: the parser's numbers are all that is left
    return file_line_of(parser_line);
  }
  int file_line = line_;
  int last_offset =
      breakpoints_.empty() ? 0 : breakpoints_.back().file_line - breakpoints_.back().parser_line;
  if (file_line - parser_line != last_offset) breakpoints_.push_back({parser_line, file_line});

  size_t len = piece_length(buf);
  bool ends_line = len > 0 && buf[len - 1] == '\n';
  check_piece(buf, len, ends_line);
  if (ends_line) end_line();
  return file_line;
}

int ListScan::file_line_of(int parser_line) const {
  for (auto it = breakpoints_.rbegin(); it != breakpoints_.rend(); ++it) {
    if (it->parser_line <= parser_line) return it->file_line + (parser_line - it->parser_line);
  }
  return parser_line;
}

void ListScan::check_piece(const char* piece, size_t len, bool ends_line) {
  size_t text_len = ends_line ? len - 1 : len;
  // A cut right before the line end leaves only the line end for the next piece: nothing of the
  // line's text is read on its own.
  if (pieces_ > 0 && text_len > 0) continued_with_text_ = true;
  ++pieces_;

  const void* nul = memchr(piece, '\0', text_len);
  if (nul != nullptr && nul_column_ == 0) {
    nul_column_ = length_ + static_cast<size_t>(static_cast<const char*>(nul) - piece) + 1;
  }

  // A byte order mark is reported on its own, for the list as a whole.
  size_t skip = skip_bom_ && line_ == 1 && pieces_ == 1 ? std::min<size_t>(3, text_len) : 0;
  // A double-byte character cut in two by the reader is whole in the file: decode it whole.
  std::string bytes = held_lead_;
  bytes.append(piece + skip, text_len - skip);
  size_t start = length_ + skip - held_lead_.size();
  Utf8Text decoded = decode_cp932(bytes, !ends_line);
  if (decoded.invalid_count > 0) {
    if (invalid_count_ == 0) {
      first_invalid_column_ = start + decoded.first_invalid + 1;
      first_invalid_byte_ = static_cast<unsigned char>(bytes[decoded.first_invalid]);
    }
    invalid_count_ += decoded.invalid_count;
  }
  held_lead_ = bytes.substr(decoded.consumed);
  length_ += text_len;
}

void ListScan::end_line() {
  if (!held_lead_.empty()) {  // the last line ends in half a character
    if (invalid_count_ == 0) {
      first_invalid_column_ = length_;
      first_invalid_byte_ = static_cast<unsigned char>(held_lead_[0]);
    }
    ++invalid_count_;
  }
  if (pieces_ > 1 && continued_with_text_) {
    problems_.push_back(
        {line_, ProblemKind::line_split,
         "line is " + std::to_string(length_) +
             " bytes; the updater reads at most 511 at a time, so it reads this as " +
             std::to_string(pieces_) + " lines"});
  }
  if (nul_column_ != 0) {
    problems_.push_back({line_, ProblemKind::encoding,
                         "NUL byte at column " + std::to_string(nul_column_) +
                             "; the updater reads nothing after it on this line"});
  }
  if (invalid_count_ != 0 && check_code_page_) {
    std::string more = invalid_count_ == 1 ? " is not code page 932"
                                           : " and " + std::to_string(invalid_count_ - 1) +
                                                 " more characters are not code page 932";
    problems_.push_back({line_, ProblemKind::encoding,
                         "byte " + hex_byte(first_invalid_byte_) + " at column " +
                             std::to_string(first_invalid_column_) + more});
  }
  ++line_;
  pieces_ = 0;
  length_ = 0;
  continued_with_text_ = false;
  held_lead_.clear();
  invalid_count_ = 0;
  nul_column_ = 0;
}

void ListScan::finish(const char* list_path) {
  if (pieces_ > 0) end_line();
  FILE* raw = open_file(list_path, "rb");  // binary: the Ctrl-Z and what follows it, as they are
  if (raw == nullptr) return;
  note_ctrl_z(raw);
  (void)fclose(raw);  // read only: nothing to lose
}

// A Ctrl-Z at the very end (after the last line, perhaps with blanks) is an old editor's end mark
// and harmless; text after one is never read.
void ListScan::note_ctrl_z(FILE* raw) {
  int line = 1;
  size_t column = 1;
  int c;
  while ((c = getc(raw)) != EOF && c != kCtrlZ) {
    if (c == '\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
  }
  if (c != kCtrlZ) return;
  size_t after = 0;
  bool text_after = false;
  while ((c = getc(raw)) != EOF) {
    ++after;
    if (!is_blank_or_line_end(c)) text_after = true;
  }
  if (!text_after) return;
  problems_.push_back({line, ProblemKind::encoding,
                       "Ctrl-Z (byte 0x1A) at column " + std::to_string(column) +
                           " ends the list; the updater never reads the " + std::to_string(after) +
                           " bytes after it"});
}
