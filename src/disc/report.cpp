// Builds the checker's report: runs the updater's own parser with hooks that watch it, then
// reads what it left in the record and the tables.
#include "report.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "console.h"
#include "cp932_text.h"
#include "game_folder.h"
#include "game_plan.h"
#include "list_hints.h"
#include "list_scan.h"
#include "names.h"
#include "pe_signature.h"
#include "plan/copy_selection.h"
#include "plan/file_names.h"
#include "plan/name_identity.h"
#include "preview.h"
#include "setuplist/setup_parser.h"
#include "setuplist/setup_record.h"
#include "setuplist/text.h"
#include "source_lookup.h"
#include "system/file_queries.h"
#include "system/files.h"
#include "system/paths.h"

namespace {

// Text from the list quoted in a message: enough to recognise a line, short enough for one row.
constexpr size_t kQuoteBytes = 60;
const char kCopiesNothing[] = "; the updater stops and copies nothing";
const char kCopiedTypes[] = "the updater copies only types 0 to 7";

// What the hooks see during one parse; they get it as their context.
struct ParseWatch {
  ListScan* scan;
  int line = 0;  // the editor's line of the piece being parsed
  std::vector<int32_t> file_types;
  std::vector<int> file_lines;
  std::vector<int> type_lines;
  int files_over = 0;
  int types_over = 0;
  std::vector<Problem> problems;
  ListFacts facts;
};

// Cut at a character boundary, never inside a double-byte character.
std::string quote(const char* cp932) {
  size_t len = strlen(cp932);
  size_t cut = 0;
  while (cut < len && cut < kQuoteBytes) {
    cut += is_cp932_lead(static_cast<unsigned char>(cp932[cut])) && cut + 1 < len ? 2 : 1;
  }
  std::string text = cp932_to_utf8(std::string_view(cp932, cut));
  return "\"" + text + (cut < len ? "...\"" : "\"");
}

template <typename T>
void put(std::vector<T>* list, int index, T value) {
  if (index < 0) return;
  if (static_cast<size_t>(index) >= list->size()) list->resize(static_cast<size_t>(index) + 1);
  (*list)[static_cast<size_t>(index)] = value;
}

// The line a keyword line sets: its keyword is all that follows the "#" up to a blank or the
// line's end, as the parser reads it.
bool sets_field(const char* text, const char* keyword) {
  size_t len = strlen(keyword);
  return text[0] == '#' && strncmp(text + 1, keyword, len) == 0 &&
         strchr(" \t\r\n", text[len + 1]) != nullptr;  // the terminator matches too
}

void on_line_read(void* context, int line, const char* text) {
  auto* watch = static_cast<ParseWatch*>(context);
  watch->line = watch->scan->next_piece(line);
  ListFacts& facts = watch->facts;
  if (line == 1) facts.first_line = text;
  if (sets_field(text, "PATH")) facts.path_line = watch->line;
  const char* const parts[] = {"REG_P", "REG_S", "REG_T"};
  for (int i = 0; i < 3; ++i) {
    if (sets_field(text, parts[i])) facts.reg_lines[i] = watch->line;
  }
}

void on_type_added(void* context, int index, int) {
  auto* watch = static_cast<ParseWatch*>(context);
  put(&watch->type_lines, index, watch->line);
}

void on_file_added(void* context, int index, int, int32_t type) {
  auto* watch = static_cast<ParseWatch*>(context);
  put(&watch->file_types, index, type);
  put(&watch->file_lines, index, watch->line);
}

void on_unknown_type(void* context, int, const char* name) {
  auto* watch = static_cast<ParseWatch*>(context);
  watch->problems.push_back({watch->line, ProblemKind::unknown_type,
                             "type " + quote(name) +
                                 " is not listed under INSTALL_LST above this line; the updater "
                                 "shows \"not list type\""});
}

size_t reg_key_length() {
  return strlen(SetupRecord.REG_P) + strlen(SetupRecord.REG_S) + strlen(SetupRecord.REG_T) + 2;
}

std::string limit_message(ParseWatch* watch, SetupLimit limit, const char* text) {
  std::string bytes = std::to_string(strlen(text));
  switch (limit) {
    case SetupLimit::file_name_length:
      return "file name " + quote(text) + " is " + bytes + " bytes; the limit is " +
             std::to_string(kFileNameWidth - 1);
    case SetupLimit::file_count:
      return "file " + std::to_string(kFileCapacity + ++watch->files_over) + " " + quote(text) +
             " is over the limit of " + std::to_string(kFileCapacity) + " files";
    case SetupLimit::type_count:
      return "type " + std::to_string(kTypeCapacity + ++watch->types_over) + " " + quote(text) +
             " is over the limit of " + std::to_string(kTypeCapacity) + " types";
    case SetupLimit::type_name_length:
      return "type name " + quote(text) + " is " + bytes + " bytes; the limit is " +
             std::to_string(kTypeNameWidth - 1);
    case SetupLimit::path_length:
      return "PATH is " + bytes + " bytes; the limit is " + std::to_string(kPathWidth - 1);
    case SetupLimit::reg_key_length:
      // The composed key in text was cut to its field; its parts were not.
      return "registry key REG_P\\REG_S\\REG_T is " + std::to_string(reg_key_length()) +
             " bytes; the limit is " + std::to_string(kRegWidth - 1);
    case SetupLimit::none:
      break;
  }
  return "limit exceeded";
}

void on_limit(void* context, SetupLimit limit, int line, const char* text) {
  auto* watch = static_cast<ParseWatch*>(context);
  // The key is composed after the last line: the parser names the line of its last part.
  int at = limit == SetupLimit::reg_key_length ? watch->scan->file_line_of(line) : watch->line;
  watch->problems.push_back(
      {at, ProblemKind::limit, limit_message(watch, limit, text) + kCopiesNothing});
}

// No "TEST" boxes: the checker reports unknown types itself.
void run_parser(FILE* list, ParseWatch* watch) {
  SetupListHooks hooks{watch,         nullptr,         on_line_read, on_type_added,
                       on_file_added, on_unknown_type, on_limit};
  parse_setup_list(list, hooks);
}

// Nothing is read when the file can't be opened: the parse then reports why.
std::string read_whole(const std::string& path) {
  std::string bytes;
  FILE* file = open_file(path, "rb");
  if (file == nullptr) return bytes;
  char buf[16384];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, file)) > 0)
    bytes.append(buf, n);
  (void)fclose(file);  // read only: nothing to lose
  return bytes;
}

// Runs the parser over the list with a second reading in step. False when the list can't be
// opened or read.
bool parse_list(const std::string& list_path, const std::string& shown, ParseWatch* watch,
                std::string* error) {
  FILE* list = open_list_file(file_path(list_path));
  FILE* again = list != nullptr ? open_list_file(file_path(list_path)) : nullptr;
  if (again == nullptr) {
    *error = "cannot open " + printable(shown) + ": " + strerror(errno);
    if (list != nullptr) (void)fclose(list);
    return false;
  }
  ListScan scan(again);
  watch->facts.encoding = guess_utf8(read_whole(list_path));
  if (watch->facts.encoding.utf8) scan.skip_code_page_check();
  if (watch->facts.encoding.bom) scan.skip_byte_order_mark();
  watch->scan = &scan;
  run_parser(list, watch);
  watch->scan = nullptr;
  bool read_failed = ferror(list) != 0;
  (void)fclose(list);  // read only: a failed close loses nothing
  (void)fclose(again);
  if (read_failed) {
    *error = "cannot read " + printable(shown) + " (read error)";
    return false;
  }
  scan.finish(list_path.c_str());
  // The scan's problems go first: a line's cut or its bad bytes explain what the parser made of it.
  std::vector<Problem> problems = std::move(scan.problems());
  for (Problem& problem : watch->problems)
    problems.push_back(std::move(problem));
  watch->problems = std::move(problems);
  return true;
}

void fill_record(CheckReport* report) {
  const SetupFields& r = SetupRecord;
  const std::pair<const char*, const char*> fields[] = {
      {"TITLE", r.TITLE}, {"TITLE_OLD", r.TITLE_OLD}, {"PATH", r.PATH},      {"REG_P", r.REG_P},
      {"REG_S", r.REG_S}, {"REG_T", r.REG_T},         {"REG_KEY", r.REG_KEY}};
  for (const auto& [key, value] : fields)
    report->record.push_back({key, cp932_to_utf8(value)});
}

void fill_types(const ParseWatch& watch, CheckReport* report) {
  for (int i = 0; i < TypeTable.type_count; ++i) {
    int line = static_cast<size_t>(i) < watch.type_lines.size() ? watch.type_lines[i] : 0;
    report->types.push_back({i, cp932_to_utf8(TypeTable.type_name[i]), is_copied_type(i), line});
  }
}

std::string type_label(int32_t type) {
  if (type < 0 || type >= TypeTable.type_count) return "type " + std::to_string(type);
  return "type " + std::to_string(type) + " " + quote(TypeTable.type_name[type]);
}

ProblemKind kind_of(NameRefusal refusal) {
  switch (refusal) {
    case NameRefusal::character:
      return ProblemKind::bad_character;
    case NameRefusal::changed:
      return ProblemKind::changed_name;
    case NameRefusal::disc_file:
      return ProblemKind::disc_name;
    case NameRefusal::outside:
    case NameRefusal::none:
      break;
  }
  return ProblemKind::unsafe_name;
}

// The data files sit beside update.ini and update.exe when PATH names no folder.
bool data_beside_disc_files() {
  char key[kPathWidth];
  game_file_key(SetupRecord.PATH, key, sizeof key);
  return key[0] == '\0';
}

void check_file(const FileEntry& file, const char* name, bool explained,
                std::vector<Problem>* problems) {
  NameCheck check = check_file_name(name, data_beside_disc_files());
  if (check.refusal != NameRefusal::none) {
    problems->push_back(
        {file.line, kind_of(check.refusal), quote(name) + " " + name_refusal_text(check.refusal)});
  }
  bool safe = check.refusal != NameRefusal::outside;
  if (!file.copied) {
    std::string under =
        file.type < 0 ? "is listed under no type" : "is under " + type_label(file.type);
    problems->push_back(
        {file.line, ProblemKind::never_copied, quote(name) + " " + under + "; " + kCopiedTypes});
  } else if (safe && !file.source_exists && !explained) {
    std::string message = "source file " + file.source + " is missing";
    std::string look_alike = look_alike_file(file.source);
    if (!look_alike.empty()) {
      message += "; its folder has \"" + look_alike +
                 "\", which only looks the same (a character code page 932 lacks): name the file "
                 "as the list does";
    }
    problems->push_back({file.line, ProblemKind::missing_source, message});
  }
}

std::vector<ListedFile> fill_files(const std::string& dir, const ParseWatch& watch,
                                   CheckReport* report) {
  std::vector<ListedFile> listed;
  for (int i = 0; i < FileTable.file_count; ++i) {
    const char* name = FileTable.file_name[i];
    uint32_t mask = FileTable.type_mask[i];
    auto at = static_cast<size_t>(i);
    SourceFile source = find_source_file(dir, SetupRecord.PATH, name);
    FileEntry file{i,
                   cp932_to_utf8(name),
                   at < watch.file_types.size() ? watch.file_types[at] : -1,
                   mask,
                   is_copied_mask(mask),
                   source.path,
                   source.exists,
                   at < watch.file_lines.size() ? watch.file_lines[at] : 0};
    listed.push_back({i, file.line, name, file.copied, is_safe_file_name(name), source});
    report->files.push_back(std::move(file));
  }
  return listed;
}

// The medium's update.exe, found as a player's Windows finds it: letter case aside.
SourceFile find_update_exe(const std::string& medium) {
  SourceFile exe = find_source_file(medium, "", "update.exe");
  if (exe.exists) return exe;
  for (const std::string& name : folder_names(medium)) {
    if (upper_case_utf8(name) == "UPDATE.EXE") {
      SourceFile found = find_source_file(medium, "", name.c_str());
      if (found.exists) return found;
    }
  }
  return exe;
}

// A medium is a disc only with a program to start: without one (or with a file that is none)
// players have nothing to run. A program without a signature gets a note.
void check_update_exe(const std::string& medium, CheckReport* report) {
  SourceFile exe = find_update_exe(medium);
  PeSignature signature = exe.exists ? read_pe_signature(exe.path) : PeSignature::unreadable;
  std::string problem;
  if (!exe.exists) {
    problem = "there is no update.exe beside the list (" + exe.path +
              "): players have nothing to start the update with";
  } else if (signature == PeSignature::unreadable) {
    problem = "update.exe (" + exe.path + ") can't be read";
  } else if (signature == PeSignature::not_pe) {
    problem = "update.exe (" + exe.path + ") is not a Windows program (" + kNotAProgram +
              "): Windows refuses to start it, and players get no update";
  }
  if (!problem.empty()) report->problems.push_back({0, ProblemKind::update_exe, problem});
  if (signature == PeSignature::unsigned_pe)
    report->notes.push_back({0, NoteKind::unsigned_exe, kUnsignedExeAdvice});
}

bool over_a_limit(const CheckReport& report) {
  return std::any_of(report.problems.begin(), report.problems.end(),
                     [](const Problem& p) { return p.kind == ProblemKind::limit; });
}

}  // namespace

const char* problem_kind_name(ProblemKind kind) {
  switch (kind) {
    case ProblemKind::unknown_type:
      return "unknown-type";
    case ProblemKind::never_copied:
      return "never-copied";
    case ProblemKind::missing_source:
      return "missing-source";
    case ProblemKind::unsafe_name:
      return "unsafe-name";
    case ProblemKind::bad_character:
      return "bad-character";
    case ProblemKind::changed_name:
      return "changed-name";
    case ProblemKind::disc_name:
      return "disc-name";
    case ProblemKind::limit:
      return "limit";
    case ProblemKind::line_split:
      return "line-split";
    case ProblemKind::encoding:
      return "encoding";
    case ProblemKind::missing_folder:
      return "missing-folder";
    case ProblemKind::registry_key:
      return "registry-key";
    case ProblemKind::registry_value:
      return "registry-value";
    case ProblemKind::update_exe:
      return "update-exe";
    case ProblemKind::player_data:
      return "player-data";
  }
  return "unknown";
}

const char* note_kind_name(NoteKind kind) {
  switch (kind) {
    case NoteKind::folder_needed:
      return "folder-needed";
    case NoteKind::blank_in_value:
      return "blank-in-value";
    case NoteKind::list_name:
      return "list-name";
    case NoteKind::disc_path:
      return "disc-path";
    case NoteKind::older_than_installed:
      return "older-than-installed";
    case NoteKind::changes_nothing:
      return "changes-nothing";
    case NoteKind::unsigned_exe:
      return "unsigned-exe";
    case NoteKind::read_only_file:
      return "read-only-file";
  }
  return "unknown";
}

const char* outcome_name(Outcome outcome) {
  switch (outcome) {
    case Outcome::added:
      return "new";
    case Outcome::replaces:
      return "replaces";
    case Outcome::identical:
      return "identical";
    case Outcome::fails:
      return "fails";
  }
  return "unknown";
}

bool build_report(const std::string& dir, CheckReport* report, std::string* error) {
  return build_report(dir, "", report, error);
}

bool build_report(const std::string& dir, const std::string& game_dir, CheckReport* report,
                  std::string* error, GameReading reading) {
  *report = CheckReport{};
  if (!game_dir.empty() && !is_folder(game_dir)) {
    *error = "the game folder " + printable(game_dir) + " is not a folder";
    return false;
  }
  SetupListPlace place = locate_setup_list(dir);
  report->list_path = place.list;
  ParseWatch watch{};
  if (!parse_list(place.list, report->list_path, &watch, error)) return false;

  fill_record(report);
  fill_types(watch, report);
  report->problems = std::move(watch.problems);
  std::vector<ListedFile> listed = fill_files(place.medium, watch, report);
  std::vector<bool> explained =
      add_list_hints(place.list, place.medium, watch.facts, listed, report);
  for (const ListedFile& file : listed) {
    check_file(report->files[static_cast<size_t>(file.index)], file.name.c_str(),
               explained[static_cast<size_t>(file.index)], &report->problems);
  }
  GameFolder game(game_dir, reading);
  CopyPlan plan;
  plan_against(game_dir.empty() ? nullptr : &game, listed, &plan);
  report->plan.assign(plan.steps, plan.steps + plan.step_count);
  add_folder_notes(plan, listed, !game_dir.empty(), report);
  check_update_exe(place.medium, report);
  if (!game_dir.empty()) {
    report->against = game_dir;
    preview_against(&game, plan, listed, over_a_limit(*report), report);
  }
  std::stable_sort(report->problems.begin(), report->problems.end(),
                   [](const Problem& a, const Problem& b) { return a.line < b.line; });
  std::stable_sort(report->notes.begin(), report->notes.end(),
                   [](const Note& a, const Note& b) { return a.line < b.line; });
  return true;
}

bool report_finds_faults(const CheckReport& report) {
  bool fails = std::any_of(report.entries.begin(), report.entries.end(),
                           [](const PreviewEntry& e) { return e.outcome == Outcome::fails; });
  return !report.problems.empty() || fails || !report.space.fits;
}
