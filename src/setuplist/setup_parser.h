// The setup list parser: reads update.ini once, from its first line to its last, into the setup
// record and its tables, and composes the game's registry key.
#pragma once

#include <cstdint>
#include <cstdio>

// The parser reads the list a line at a time into this many bytes, the line's end (one LF, once
// text mode has taken the CR) and the terminator included: a longer line is read as two or more.
constexpr int kLineBufferSize = 512;

// The open setup list, or null when it could not be opened. The entry sequence owns it.
extern FILE* SetupListFile;

// The limits of the record and the tables. A list that goes over one of them would make the
// update silently wrong or incomplete, so the parser records the first such problem and the run
// stops before any dialog.
enum class SetupLimit : int8_t {
  none,
  file_name_length,  // a file path of 32 bytes or more
  file_count,        // more than 256 file lines
  type_count,        // more than 32 install type names
  type_name_length,  // an install type name of 64 bytes or more
  path_length,       // a PATH of 256 bytes or more
  reg_key_length,    // a composed registry key of 1,024 bytes or more
};

struct SetupLimitProblem {
  SetupLimit limit;
  int line;        // line number in the list (1 for the first line)
  char text[512];  // the offending line, or the composed key
};

extern SetupLimitProblem SetupProblem;

// Seams: how the parser shows its "TEST" boxes, and what a tool that inspects a parse (the
// publisher's checker) gets to see. Every hook may be null; each gets context as it is given here.
struct SetupListHooks {
  void* context;
  void (*message_box)(void* context, const char* text, const char* caption);
  void (*line_read)(void* context, int line, const char* text);
  void (*type_added)(void* context, int index, int line);
  void (*file_added)(void* context, int index, int line, int32_t type);
  void (*unknown_type)(void* context, int line, const char* name);
  void (*limit_exceeded)(void* context, SetupLimit limit, int line, const char* text);
};

extern SetupListHooks SetupHooks;

// Parses SetupListFile with SetupHooks, as the updater does.
void parse_setup_list();
// Parses list afresh, from the defaults of the record, with hooks for this parse only: for the
// tools, which read lists as the updater does. SetupListFile and SetupHooks are left as they are.
void parse_setup_list(FILE* list, const SetupListHooks& hooks);
int32_t find_type_index(const char* name);
