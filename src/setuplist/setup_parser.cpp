// The setup list parser: keyword lines, data lines, sections and type headers.
#include "setup_parser.h"

#include <cstring>

#include "list_reader.h"
#include "setup_record.h"
#include "text.h"

FILE* SetupListFile = nullptr;
SetupLimitProblem SetupProblem = {};
SetupListHooks SetupHooks = {};

namespace {

enum class Section { none, install_lst, install_s, install_b, install_c, file, save_lst };

// State of one parse.
Section CurrentSection;
int32_t CurrentType;
int CurrentLine;
int RegKeyLine;                             // the last line that set a part of the registry key
const SetupListHooks* Hooks = &SetupHooks;  // another set only while a tool's parse runs

bool is_blank(unsigned char c) {
  return c == ' ' || c == '\t';
}
bool ends_keyword(unsigned char c) {
  return c == '\0' || c == '\r' || c == '\n' || c == '\t' || c == ' ';
}
bool ends_value(unsigned char c) {
  return c == '\0' || c == '\r' || c == '\n' || c == '"';
}

void note_limit(SetupLimit limit, const char* text) {
  if (SetupProblem.limit == SetupLimit::none) {
    SetupProblem.limit = limit;
    SetupProblem.line = CurrentLine;
    copy_cut_cp932(SetupProblem.text, sizeof SetupProblem.text, text);
  }
  if (Hooks->limit_exceeded) Hooks->limit_exceeded(Hooks->context, limit, CurrentLine, text);
}

// Copies bytes from *p into out until stop() says a byte ends the run. A byte of 0x80 or above
// is copied together with the byte after it, and neither is tested; a pair never takes the
// terminator as its second byte. out must hold as many bytes as the line it comes from.
template <typename Stop>
const unsigned char* collect(const unsigned char* p, char* out, Stop stop) {
  while (!stop(*p)) {
    if (*p >= 0x80) {
      *out++ = static_cast<char>(*p++);
      if (*p == '\0') break;
    }
    *out++ = static_cast<char>(*p++);
  }
  *out = '\0';
  return p;
}

// "#KEYWORD value": the keyword, then a run of blanks and one optional opening quote, then the
// value up to a closing quote or the end of the line.
void scan_keyword_line(const char* line, char* keyword, char* value) {
  auto p = reinterpret_cast<const unsigned char*>(line) + 1;
  p = collect(p, keyword, ends_keyword);
  value[0] = '\0';
  if (!is_blank(*p)) return;  // the keyword ran to the end of the line: no value
  while (is_blank(*p))
    ++p;
  if (*p == '"') ++p;
  collect(p, value, ends_value);
}

void set_title(char* field, const char* value) {
  copy_cut_cp932(field, kTitleWidth, value);
}

void set_path(const char* value) {
  if (!copy_cut_cp932(SetupRecord.PATH, kPathWidth, value)) {
    note_limit(SetupLimit::path_length, value);
  }
}

void set_reg_part(char* field, const char* value) {
  copy_bounded(field, kRegWidth, value);  // a value of one line always fits
  RegKeyLine = CurrentLine;
}

struct Keyword {
  const char* name;
  Section section;  // the section the keyword opens, or none for a field keyword
};

const Keyword kSectionKeywords[] = {
    {"INSTALL_LST", Section::install_lst},
    {"INSTALL_S", Section::install_s},
    {"INSTALL_B", Section::install_b},
    {"INSTALL_C", Section::install_c},
    {"FILE", Section::file},
    {"SAVE_LST", Section::save_lst},
};

// Keywords the install kit knows but the update has no use for.
const char* const kUnusedFieldKeywords[] = {"DEFDIR", "MD", "EXE", "LNK", "SAVEDIR", "SAVEFILE"};

void apply_keyword(const char* keyword, const char* value) {
  if (strcmp(keyword, "TITLE") == 0) return set_title(SetupRecord.TITLE, value);
  if (strcmp(keyword, "TITLE_OLD") == 0) return set_title(SetupRecord.TITLE_OLD, value);
  if (strcmp(keyword, "PATH") == 0) return set_path(value);
  if (strcmp(keyword, "REG_P") == 0) return set_reg_part(SetupRecord.REG_P, value);
  if (strcmp(keyword, "REG_S") == 0) return set_reg_part(SetupRecord.REG_S, value);
  if (strcmp(keyword, "REG_T") == 0) return set_reg_part(SetupRecord.REG_T, value);
  for (const char* unused : kUnusedFieldKeywords) {
    if (strcmp(keyword, unused) == 0) return;
  }
  for (const Keyword& k : kSectionKeywords) {
    if (strcmp(keyword, k.name) == 0) {
      CurrentSection = k.section;
      return;
    }
  }
  // Anything else, the empty keyword included, is a comment.
}

void handle_keyword_line(const char* line) {
  if (line[1] == '#') CurrentSection = Section::none;
  char keyword[kLineBufferSize];
  char value[kLineBufferSize];
  scan_keyword_line(line, keyword, value);
  apply_keyword(keyword, value);
}

// A name cut to its field would no longer match a FILE header that repeats it whole: its files
// would be skipped after "not list type" boxes, and the run would still end "complete".
void add_type_name(const char* line) {
  if (strlen(line) >= static_cast<size_t>(kTypeNameWidth)) {
    return note_limit(SetupLimit::type_name_length, line);
  }
  if (TypeTable.type_count >= kTypeCapacity) return note_limit(SetupLimit::type_count, line);
  int index = static_cast<int>(TypeTable.type_count);
  append_type_name(line);
  if (Hooks->type_added) Hooks->type_added(Hooks->context, index, CurrentLine);
}

void add_file(const char* line) {
  if (strlen(line) >= static_cast<size_t>(kFileNameWidth)) {
    return note_limit(SetupLimit::file_name_length, line);
  }
  if (FileTable.file_count >= kFileCapacity) return note_limit(SetupLimit::file_count, line);
  int index = FileTable.file_count;
  append_file(line, CurrentType);
  if (Hooks->file_added) Hooks->file_added(Hooks->context, index, CurrentLine, CurrentType);
}

void handle_file_line(const char* line) {
  if (line[0] != '[') return add_file(line);
  // A type header: "[]" and anything after it selects no type; any other header is looked up
  // whole, brackets and remarks included.
  CurrentType = line[1] == ']' ? -1 : find_type_index(line);
}

void handle_data_line(char* line) {
  size_t len = strlen(line);
  while (len > 0 && (is_blank(line[len - 1]) || line[len - 1] == '\r' || line[len - 1] == '\n')) {
    line[--len] = '\0';
  }
  if (len == 0) return;
  switch (CurrentSection) {
    case Section::install_lst:
      return add_type_name(line);
    case Section::install_s:
    case Section::install_b:
    case Section::install_c:
      find_type_index(line);
      return;
    case Section::file:
      return handle_file_line(line);
    case Section::none:
    case Section::save_lst:
      return;
  }
}

// One parse of list, with the hooks in Hooks.
void parse(FILE* list) {
  (void)fseek(list, 0, SEEK_SET);  // a list that cannot seek is read from where it is
  reset_tables();
  SetupProblem = SetupLimitProblem{};
  CurrentSection = Section::none;
  CurrentType = -1;
  CurrentLine = 1;
  RegKeyLine = 0;

  char line[kLineBufferSize];
  for (;;) {
    // Cleared first, so an LF anywhere in the buffer came from this read: a NUL byte inside a
    // line cuts its text short but must not hide the end of the line from the count.
    memset(line, 0, sizeof line);
    if (read_list_line(line, kLineBufferSize, list) == nullptr) break;
    bool line_ends = memchr(line, '\n', sizeof line) != nullptr;
    if (Hooks->line_read) Hooks->line_read(Hooks->context, CurrentLine, line);
    if (line[0] == '#') {
      handle_keyword_line(line);
    } else if (line[0] != '\0') {
      handle_data_line(line);
    }
    if (line_ends) ++CurrentLine;
  }

  if (!compose_reg_key()) {
    CurrentLine = RegKeyLine;
    note_limit(SetupLimit::reg_key_length, SetupRecord.REG_KEY);
  }
}

}  // namespace

void parse_setup_list() {
  if (SetupListFile != nullptr) parse(SetupListFile);
}

void parse_setup_list(FILE* list, const SetupListHooks& hooks) {
  SetupRecord = kSetupDefaults;  // the parser sets only the fields the list gives
  Hooks = &hooks;
  parse(list);
  Hooks = &SetupHooks;
}

int32_t find_type_index(const char* name) {
  size_t n = strlen(name);
  if (n > 0) {
    for (int32_t i = 0; i < TypeTable.type_count; ++i) {
      // strncmp stops at the entry's terminator, so a name longer than the entry never reads
      // past its field.
      if (strncmp(TypeTable.type_name[i], name, n) == 0) return i;
    }
  }
  if (Hooks->unknown_type) Hooks->unknown_type(Hooks->context, CurrentLine, name);
  // After a limit the run stops with its own message: boxes about a list that will not be used
  // (a header naming a type refused as too long, say) would only come before it.
  if (Hooks->message_box && SetupProblem.limit == SetupLimit::none) {
    Hooks->message_box(Hooks->context, "not list type", "TEST");
    Hooks->message_box(Hooks->context, name, "TEST");
  }
  return -1;
}
