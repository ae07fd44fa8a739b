// The report as text for a terminal: the record, the two tables, the notes, the problems and, with
// a game folder, what the update would do to it.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "disc/console.h"
#include "disc/display_width.h"
#include "report_format.h"

namespace {

std::string quoted(const std::string& text) {
  return "\"" + printable(text) + "\"";
}

// Japanese names take two columns a character: the columns line up by width, not bytes.
std::string padded(const std::string& text, size_t width) {
  return pad_to_width(text, width);
}

std::string hex_mask(uint32_t mask) {
  char text[16];
  (void)snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(mask));
  return text;
}

void append_record(const CheckReport& report, std::string* out) {
  *out += "Record\n";
  for (const RecordField& field : report.record) {
    *out += "  " + padded(field.key, 11) + quoted(field.value) + "\n";
  }
}

void append_types(const CheckReport& report, std::string* out) {
  *out += "\nTypes (the updater copies types 0 to 7)\n";
  if (report.types.empty()) *out += "  none\n";
  for (const TypeEntry& type : report.types) {
    *out += "  " + padded(std::to_string(type.index), 5) +
            padded("line " + std::to_string(type.line), 11) +
            padded(type.copied ? "copied" : "not copied", 12) + quoted(type.name) + "\n";
  }
}

void append_files(const CheckReport& report, std::string* out) {
  size_t copied = 0;
  for (const FileEntry& file : report.files)
    copied += file.copied ? 1 : 0;
  *out += "\nFiles (" + std::to_string(copied) + " of " + std::to_string(report.files.size()) +
          " copied)\n";
  if (report.files.empty()) *out += "  none\n";
  for (const FileEntry& file : report.files) {
    std::string type = file.type < 0 ? "none" : std::to_string(file.type);
    *out += "  " + padded(std::to_string(file.index), 5) +
            padded("line " + std::to_string(file.line), 11) + padded("type " + type, 10) + "mask " +
            hex_mask(file.type_mask) + "  " + padded(file.copied ? "copied" : "not copied", 12) +
            quoted(file.file_name) + "\n";
    *out += "       source " + printable(file.source) +
            (file.source_exists ? " (found)\n" : " (missing)\n");
  }
}

// Line 0 is the list as a whole.
std::string at_line(int line) {
  return line == 0 ? "list" : "line " + std::to_string(line);
}

// The kind column is as wide as the longest kind of its section and two blanks, at least 16: a
// long kind ("older-than-installed") never runs into its message.
template <typename Item, typename Name>
size_t kind_width(const std::vector<Item>& items, Name name) {
  size_t width = 16;
  for (const Item& item : items)
    width = std::max(width, strlen(name(item.kind)) + 2);
  return width;
}

void append_notes(const CheckReport& report, std::string* out) {
  if (report.notes.empty()) return;
  *out += "\nNotes (" + std::to_string(report.notes.size()) + ")\n";
  size_t width = kind_width(report.notes, note_kind_name);
  for (const Note& note : report.notes) {
    *out += "  " + padded(at_line(note.line), 11) + padded(note_kind_name(note.kind), width) +
            printable(note.message) + "\n";
  }
}

void append_problems(const CheckReport& report, std::string* out) {
  if (report.problems.empty()) {
    *out += "\nNo problems.\n";
    return;
  }
  *out += "\nProblems (" + std::to_string(report.problems.size()) + ")\n";
  size_t width = kind_width(report.problems, problem_kind_name);
  for (const Problem& problem : report.problems) {
    *out += "  " + padded(at_line(problem.line), 11) +
            padded(problem_kind_name(problem.kind), width) + printable(problem.message) + "\n";
  }
}

void append_entries(const CheckReport& report, std::string* out) {
  size_t counts[4] = {};
  uint64_t bytes = 0;
  *out += "\nAgainst the game in " + printable(report.against) + "\n";
  if (report.entries.empty()) *out += "  no file is copied\n";
  for (const PreviewEntry& entry : report.entries) {
    ++counts[static_cast<size_t>(entry.outcome)];
    bytes += entry.bytes;
    std::string what = entry.outcome == Outcome::fails ? printable(entry.reason)
                                                       : std::to_string(entry.bytes) + " bytes";
    *out += "  " + padded(std::to_string(entry.index), 5) +
            padded("line " + std::to_string(entry.line), 11) +
            padded(outcome_name(entry.outcome), 11) + padded(quoted(entry.file_name), 24) + " " +
            what + "\n";
  }
  *out += "  " + std::to_string(counts[0]) + " new, " + std::to_string(counts[1]) + " replaced, " +
          std::to_string(counts[2]) + " identical (rewritten unchanged), " +
          std::to_string(counts[3]) + " failing; " + std::to_string(bytes) + " bytes written\n";
}

void append_space(const SpaceCheck& space, std::string* out) {
  *out += "  room needed at the fullest: " + std::to_string(space.needed) + " bytes (" +
          std::to_string(space.cluster_size) + "-byte clusters); ";
  if (!space.free_known) {
    *out += "free space unknown\n";
    return;
  }
  *out += std::to_string(space.free) + " bytes free: " +
          (space.fits ? "fits\n" : "does NOT fit; the copy would run out of room\n");
}

}  // namespace

std::string format_text(const CheckReport& report) {
  std::string out = "Setup list " + printable(report.list_path) + "\n\n";
  append_record(report, &out);
  append_types(report, &out);
  append_files(report, &out);
  append_notes(report, &out);
  append_problems(report, &out);
  if (!report.against.empty()) {
    append_entries(report, &out);
    append_space(report.space, &out);
  }
  return out;
}
