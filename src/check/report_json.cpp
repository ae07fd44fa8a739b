// The report as one JSON document, for a publisher's own tools.
#include <nlohmann/json.hpp>

#include "report_format.h"

namespace {

// Ordered: the record's keys come out in the list's own order.
using Json = nlohmann::ordered_json;

Json record_json(const CheckReport& report) {
  Json record = Json::object();
  for (const RecordField& field : report.record)
    record[field.key] = field.value;
  return record;
}

Json types_json(const CheckReport& report) {
  Json types = Json::array();
  for (const TypeEntry& type : report.types) {
    types.push_back({{"index", type.index}, {"name", type.name}, {"copied", type.copied}});
  }
  return types;
}

Json files_json(const CheckReport& report) {
  Json files = Json::array();
  for (const FileEntry& file : report.files) {
    files.push_back({{"index", file.index},
                     {"file_name", file.file_name},
                     {"type", file.type},
                     {"type_mask", file.type_mask},
                     {"copied", file.copied},
                     {"source", file.source},
                     {"source_exists", file.source_exists}});
  }
  return files;
}

Json problems_json(const CheckReport& report) {
  Json problems = Json::array();
  for (const Problem& problem : report.problems) {
    problems.push_back({{"line", problem.line},
                        {"kind", problem_kind_name(problem.kind)},
                        {"message", problem.message}});
  }
  return problems;
}

Json notes_json(const CheckReport& report) {
  Json notes = Json::array();
  for (const Note& note : report.notes) {
    notes.push_back(
        {{"line", note.line}, {"kind", note_kind_name(note.kind)}, {"message", note.message}});
  }
  return notes;
}

Json entries_json(const CheckReport& report) {
  Json entries = Json::array();
  for (const PreviewEntry& entry : report.entries) {
    entries.push_back({{"index", entry.index},
                       {"line", entry.line},
                       {"file_name", entry.file_name},
                       {"outcome", outcome_name(entry.outcome)},
                       {"reason", entry.reason},
                       {"bytes", entry.bytes}});
  }
  return entries;
}

// free and fits are null when the filesystem doesn't tell its free space.
Json space_json(const SpaceCheck& space) {
  Json free = space.free_known ? Json(space.free) : Json(nullptr);
  Json fits = space.free_known ? Json(space.fits) : Json(nullptr);
  return {{"needed", space.needed},
          {"free", free},
          {"fits", fits},
          {"cluster_size", space.cluster_size}};
}

}  // namespace

std::string format_json(const CheckReport& report) {
  Json document = Json::object();
  document["record"] = record_json(report);
  document["types"] = types_json(report);
  document["files"] = files_json(report);
  document["problems"] = problems_json(report);
  document["notes"] = notes_json(report);
  if (!report.against.empty()) {
    document["against"] = report.against;
    document["entries"] = entries_json(report);
    document["space"] = space_json(report.space);
  }
  // The texts are valid UTF-8 already, all but a Linux folder name given in another encoding:
  // replacing keeps the document valid then too.
  return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}
