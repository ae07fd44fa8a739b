// The record and the install types of the list to be written, and their checks.
#include "list_source.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "disc/console.h"
#include "disc/cp932_text.h"
#include "disc/names.h"
#include "disc/system/files.h"
#include "plan/copy_selection.h"
#include "plan/file_names.h"
#include "setuplist/setup_parser.h"
#include "setuplist/setup_record.h"
#include "tree_diff.h"

namespace fs = std::filesystem;

const char kDefaultTypeName[] = u8"[標準]";

namespace {

const char kDefaultPath[] = "DATA";
const char kDefaultRegP[] = "Software";

int type_of_mask(uint32_t mask) {
  for (int type = 0; is_copied_type(type); ++type) {
    if (mask == (1u << type)) return type;
  }
  return -1;
}

// The earlier list, read by the updater's own parser.
bool read_earlier_list(const std::string& from, ListSource* source, std::string* error) {
  fs::path path = fs::u8path(from);
  std::error_code ec;
  if (fs::is_directory(path, ec)) path /= "update.ini";
  FILE* list = open_list_file(path);
  if (list == nullptr) {
    *error = "cannot open " + shown_path(path) + ": " + strerror(errno);
    return false;
  }
  parse_setup_list(list, SetupListHooks{});  // no "TEST" boxes, no watching
  bool read_failed = ferror(list) != 0;
  (void)fclose(list);  // read only: a failed close loses nothing
  if (read_failed || SetupProblem.limit != SetupLimit::none) {
    *error = shown_path(path) + (read_failed ? " can't be read"
                                             : " is over a limit of the updater (line " +
                                                   std::to_string(SetupProblem.line) +
                                                   "); check it with update-check");
    return false;
  }
  source->TITLE = SetupRecord.TITLE;
  source->TITLE_OLD = SetupRecord.TITLE_OLD;
  source->PATH = SetupRecord.PATH;
  source->REG_P = SetupRecord.REG_P;
  source->REG_S = SetupRecord.REG_S;
  source->REG_T = SetupRecord.REG_T;
  for (int i = 0; i < TypeTable.type_count; ++i)
    source->types.emplace_back(TypeTable.type_name[i]);
  for (int i = 0; i < FileTable.file_count; ++i) {
    int type = type_of_mask(FileTable.type_mask[i]);
    if (type >= 0 && type < TypeTable.type_count) {
      source->earlier_types.emplace(game_name_key(FileTable.file_name[i]), type);
    }
  }
  return true;
}

// A value from the command line as code page 932; false, with a problem, when it has no such
// form.
bool take(const std::optional<std::string>& option, const char* what, std::string* field,
          std::vector<std::string>* problems) {
  if (!option) return false;
  Cp932Text text = utf8_to_cp932(*option);
  if (!text.ok()) {
    problems->push_back(std::string(what) + " \"" + *option + "\": " + cp932_failure(text));
    return false;
  }
  *field = text.bytes;
  return true;
}

// An empty part leaves two backslashes in a row in the game's registry key.
void take_reg_part(const std::optional<std::string>& option, const char* what, std::string* field,
                   std::vector<std::string>* problems) {
  if (take(option, what, field, problems) && field->empty()) {
    problems->push_back(std::string(what) + " is empty: the registry key needs all three parts");
  }
}

// A value is written as #KEY "value": a double quote would end it, a control character the line,
// and the whole line must fit the parser's line buffer.
void check_value(const char* what, const std::string& value, size_t limit,
                 std::vector<std::string>* problems) {
  size_t line = strlen("#") + strlen(what) + strlen(" \"") + value.size() + strlen("\"\n");
  if (value.size() <= limit && line > static_cast<size_t>(kLineBufferSize - 1)) {
    problems->push_back(std::string(what) + " " + shown(value) + " is " +
                        std::to_string(value.size()) +
                        " bytes in code page 932: its line in "
                        "update.ini would be " +
                        std::to_string(line) + ", and the updater reads at most " +
                        std::to_string(kLineBufferSize - 1) +
                        " to a line (the rest would become a line of its own)");
  }
  for (char c : value) {
    if (c == '"' || static_cast<unsigned char>(c) < 0x20) {
      problems->push_back(std::string(what) + " " + shown(value) +
                          " holds a double quote or a control character, which update.ini can't "
                          "hold in a value");
      break;
    }
  }
  if (value.size() > limit) {
    problems->push_back(std::string(what) + " " + shown(value) + " is " +
                        std::to_string(value.size()) + " bytes in code page 932; the limit is " +
                        std::to_string(limit));
  }
}

// The levels of a UTF-8 path, '\\' and '/' alike; a trailing separator, which the updater
// drops, makes no level.
std::vector<std::string> split_folders(const std::string& utf8) {
  std::vector<std::string> parts = name_levels(utf8, NameText::utf8);
  if (parts.size() > 1 && parts.back().empty()) parts.pop_back();
  return parts;
}

void check_path(ListSource* source, std::vector<std::string>* problems) {
  const std::string& path = source->PATH;
  check_value("PATH", path, kPathWidth - 1, problems);
  if (path.empty()) return;  // the data files sit beside update.ini
  std::string utf8 = cp932_to_utf8(path);
  if (utf8_to_cp932(utf8).bytes != path) {
    problems->push_back("PATH " + shown(path) + " is not code page 932 text");
    return;
  }
  for (const std::string& part : split_folders(utf8)) {
    if (part.empty() || part == ".") {
      problems->push_back("PATH " + shown(path) +
                          " is not a plain folder name: it has an empty level");
      return;
    }
  }
  NameCheck check = check_file_name(path.c_str(), true);  // update.ini and update.exe sit beside it
  if (check.refusal != NameRefusal::none) {
    problems->push_back("PATH " + shown(path) + " " + name_refusal_text(check.refusal));
    return;
  }
  source->data_folder = split_folders(utf8);
}

void check_types(const ListSource& source, std::vector<std::string>* problems) {
  if (source.types.size() > static_cast<size_t>(kTypeCapacity)) {
    problems->push_back(std::to_string(source.types.size()) + " install types; the limit is " +
                        std::to_string(kTypeCapacity));
  }
  for (const std::string& type : source.types) {
    std::string what = "install type " + shown(type);
    if (!type.empty() && (type.back() == ' ' || type.back() == '\t')) {
      problems->push_back(what + " ends in a blank, which the updater drops");
    }
    check_value(what.c_str(), type, kTypeNameWidth - 1, problems);
  }
}

}  // namespace

bool load_list_source(const ListOptions& options, ListSource* source,
                      std::vector<std::string>* problems, std::string* error) {
  if (options.from) {
    if (!read_earlier_list(*options.from, source, error)) return false;
  } else {
    source->PATH = kDefaultPath;
    source->REG_P = kDefaultRegP;
  }
  take(options.title, "TITLE", &source->TITLE, problems);
  if (!options.from && !options.title_old) source->TITLE_OLD = source->TITLE;
  take(options.title_old, "TITLE_OLD", &source->TITLE_OLD, problems);
  take(options.path, "PATH", &source->PATH, problems);
  take_reg_part(options.reg_p, "REG_P", &source->REG_P, problems);
  take_reg_part(options.reg_s, "REG_S", &source->REG_S, problems);
  take_reg_part(options.reg_t, "REG_T", &source->REG_T, problems);
  std::vector<std::string> types = options.types;
  if (!options.from && types.empty()) types.emplace_back(kDefaultTypeName);
  for (const std::string& type : types) {
    std::string name = type.empty() || type[0] == '[' ? type : "[" + type + "]";
    std::string cp932;
    if (take(name, "install type", &cp932, problems)) source->types.push_back(cp932);
  }
  if (source->types.empty()) problems->push_back("the list has no install type");

  check_value("TITLE", source->TITLE, kTitleWidth - 1, problems);
  check_value("TITLE_OLD", source->TITLE_OLD, kTitleWidth - 1, problems);
  check_value("REG_P", source->REG_P, kRegWidth - 1, problems);
  check_value("REG_S", source->REG_S, kRegWidth - 1, problems);
  check_value("REG_T", source->REG_T, kRegWidth - 1, problems);
  size_t key = source->REG_P.size() + source->REG_S.size() + source->REG_T.size() + 2;
  if (key > static_cast<size_t>(kRegWidth - 1)) {
    problems->push_back("registry key REG_P\\REG_S\\REG_T is " + std::to_string(key) +
                        " bytes; the limit is " + std::to_string(kRegWidth - 1));
  }
  check_path(source, problems);
  check_types(*source, problems);
  return true;
}
