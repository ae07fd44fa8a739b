// The checks of a list as a whole; see list_hints.h.
#include "list_hints.h"

#include <cstring>
#include <filesystem>
#include <system_error>

#include "console.h"
#include "names.h"
#include "system/paths.h"
#include "setuplist/setup_record.h"
#include "system/fixes.h"

namespace {

std::string copied_files(size_t count) {
  return std::to_string(count) + (count == 1 ? " copied file" : " copied files");
}

bool ends_in_blank(const char* value) {
  size_t len = strlen(value);
  return len > 0 && (value[len - 1] == ' ' || value[len - 1] == '\t');
}

bool has_non_ascii(const std::string& s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  }
  return false;
}

// What the updater misses of line 1 when a byte order mark stands before its "#".
std::string lost_first_line(const std::string& first_line) {
  std::string line = first_line.substr(3);
  if (line.empty() || line[0] != '#') return "";
  std::string keyword = line.substr(1, line.find_first_of(" \t\r\n") - 1);
  static const char* const kFields[] = {"TITLE", "TITLE_OLD", "PATH", "REG_P", "REG_S", "REG_T"};
  static const char* const kSections[] = {"INSTALL_LST", "INSTALL_S", "INSTALL_B",
                                          "INSTALL_C",   "FILE",      "SAVE_LST"};
  std::string lost =
      "; the byte order mark turns line 1 into a data line, so the updater ignores its #";
  lost += keyword;
  for (const char* field : kFields) {
    if (keyword == field) return lost.append(" and ").append(keyword).append(" keeps its default");
  }
  for (const char* section : kSections) {
    if (keyword == section) return lost.append(" and its section is never opened");
  }
  return "";
}

void hint_utf8(const ListFacts& facts, const std::vector<ListedFile>& files, CheckReport* report,
               std::vector<bool>* explained) {
  const Utf8Guess& encoding = facts.encoding;
  if (!encoding.utf8 && !encoding.bom) return;
  std::string text = "the list starts with a UTF-8 byte order mark (bytes EF BB BF)";
  if (encoding.utf8) {
    // Names with Japanese characters are garbled with the rest: their sources are missing until
    // the list is saved again.
    size_t lost = 0;
    for (const ListedFile& file : files) {
      if (file.copied && file.safe && !file.source.exists && has_non_ascii(file.name)) {
        (*explained)[static_cast<size_t>(file.index)] = true;
        ++lost;
      }
    }
    text = encoding.bom ? "the list is saved as UTF-8 with a byte order mark"
                        : "the list is saved as UTF-8";
    text += "; the updater reads code page 932 (Shift JIS), so its Japanese text comes out garbled";
    if (lost > 0) {
      text += " and the updater misses " + copied_files(lost) +
              (lost == 1 ? " with a non-ASCII name" : " with non-ASCII names");
    }
  }
  if (encoding.bom) text += lost_first_line(facts.first_line);
  if (!encoding.utf8) {
    report->problems.push_back(
        {1, ProblemKind::encoding, text + ". " + system_fixes().drop_byte_order_mark});
    return;
  }
  text += std::string(". ") + system_fixes().save_as_cp932;
  report->problems.push_back({1, ProblemKind::encoding, text});
}

void hint_path(const std::string& medium, const ListFacts& facts,
               const std::vector<ListedFile>& files, CheckReport* report,
               std::vector<bool>* explained) {
  const char* path = SetupRecord.PATH;
  if (!ends_in_blank(path)) return;
  std::string trimmed = path;
  while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '\t'))
    trimmed.pop_back();
  size_t found = 0;
  for (const ListedFile& file : files) {
    if (!file.copied || !file.safe || file.source.exists) continue;
    if (find_source_file(medium, trimmed.c_str(), file.name.c_str()).exists) {
      (*explained)[static_cast<size_t>(file.index)] = true;
      ++found;
    }
  }
  if (found == 0) return;
  report->problems.push_back({facts.path_line, ProblemKind::missing_source,
                              "PATH " + shown(path) +
                                  " ends in a blank (keyword lines are not trimmed), so the " +
                                  "updater looks for the files in " + shown(path) + " and misses " +
                                  copied_files(found) + " found in " + shown(trimmed)});
}

void hint_registry(const ListFacts& facts, CheckReport* report) {
  const std::pair<const char*, const char*> parts[] = {
      {"REG_P", SetupRecord.REG_P}, {"REG_S", SetupRecord.REG_S}, {"REG_T", SetupRecord.REG_T}};
  for (size_t i = 0; i < 3; ++i) {
    if (!ends_in_blank(parts[i].second)) continue;
    report->notes.push_back(
        {facts.reg_lines[i], NoteKind::blank_in_value,
         std::string(parts[i].first) + " " + shown(parts[i].second) +
             " ends in a blank, which is part of the registry key " + shown(SetupRecord.REG_KEY) +
             ": the updater finds the game only if its installer wrote that key, blank "
             "included; otherwise the player is told the game is not installed"});
  }
}

void hint_list_name(const std::string& list_path, CheckReport* report) {
  const char kName[] = "update.ini";
  size_t len = sizeof kName - 1;
  bool named = list_path.size() >= len;
  for (size_t i = 0; named && i < len; ++i) {
    char c = list_path[list_path.size() - len + i];
    named = (c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) == kName[i];
  }
  if (named && list_path.size() > len)
    named = strchr("/\\:", list_path[list_path.size() - len - 1]) != nullptr;
  if (named) return;
  report->notes.push_back(
      {0, NoteKind::list_name,
       "the updater reads only a list named update.ini: rename it on the disc"});
}

// update.exe stops when it runs from a folder whose path code page 932 can't hold, before it
// reads the list: a disc tried where it is now (scripts/try-disc, a player's download folder)
// would do nothing. What is burned from here is not affected.
void hint_disc_path(const std::string& medium, CheckReport* report) {
  std::error_code error;
  std::filesystem::path folder = std::filesystem::absolute(file_path(medium), error);
  if (error) return;
  Cp932Text path = utf8_to_cp932(path_text(folder));
  if (path.ok()) return;
  std::string why = path.valid_utf8 ? cp932_failure(path) : "bytes that are not UTF-8";
  report->notes.push_back(
      {0, NoteKind::disc_path,
       "the path of the disc's folder, " + shown_path(folder) + ", has " + why +
           ": update.exe run from there stops at once and copies nothing; try the disc from a "
           "folder whose path has only Japanese and ASCII characters, as players must"});
}

}  // namespace

std::vector<bool> add_list_hints(const std::string& list_path, const std::string& medium,
                                 const ListFacts& facts, const std::vector<ListedFile>& files,
                                 CheckReport* report) {
  std::vector<bool> explained(files.size(), false);
  hint_utf8(facts, files, report, &explained);
  hint_path(medium, facts, files, report, &explained);
  hint_registry(facts, report);
  hint_list_name(list_path, report);
  hint_disc_path(medium, report);
  return explained;
}

void add_folder_notes(const CopyPlan& plan, const std::vector<ListedFile>& files, bool has_game,
                      CheckReport* report) {
  for (int32_t i = 0; i < plan.step_count; ++i) {
    if (plan.steps[i].refusal != StepRefusal::missing_folder) continue;
    const ListedFile& file = files[static_cast<size_t>(plan.steps[i].entry)];
    std::string what =
        shown(file.name) + " needs " + shown(folder_of(folder_of(file.name))) + " in the game";
    if (has_game) {
      report->problems.push_back(
          {file.line, ProblemKind::missing_folder,
           what + ", and this game has none: the updater makes one folder level per file, so "
                  "the copy fails"});
    } else {
      report->notes.push_back({file.line, NoteKind::folder_needed,
                               what + " already: the updater makes one folder level per file, "
                                      "and no earlier copied file is in that folder"});
    }
  }
}
