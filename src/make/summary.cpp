// The summary of a made update.
#include "summary.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "disc/console.h"
#include "disc/cp932_text.h"
#include "disc/display_width.h"
#include "disc/pe_signature.h"
#include "disc/system/fixes.h"
#include "disc/system/paths.h"
#include "medium.h"

namespace {

using Json = nlohmann::ordered_json;

const char* change_name(Change change) {
  switch (change) {
    case Change::added:
      return "added";
    case Change::changed:
      return "changed";
    case Change::unchanged:
      break;
  }
  return "unchanged";
}

uint64_t data_bytes(const DiscPlan& plan) {
  uint64_t total = 0;
  for (const DiscEntry& entry : plan.entries)
    total += entry.file->size;
  return total;
}

std::vector<std::string> unchanged(const TreeDiff& diff) {
  std::vector<std::string> names;
  for (const NewFile& file : diff.files) {
    if (file.change == Change::unchanged) names.push_back(shown_name(file.rel));
  }
  return names;
}

std::vector<std::string> shown_names(const std::vector<std::string>& rels) {
  std::vector<std::string> names;
  names.reserve(rels.size());
  for (const std::string& rel : rels)
    names.push_back(shown_name(rel));
  return names;
}

std::string right_aligned(std::string text, size_t width) {
  if (text.size() < width) text.insert(0, width - text.size(), ' ');
  return text;
}

void list_names(std::string* out, const std::string& heading,
                const std::vector<std::string>& names) {
  if (names.empty()) return;
  *out += heading + " (" + std::to_string(names.size()) + "):\n";
  for (const std::string& name : names)
    *out += "  " + name + "\n";
}

std::vector<std::string> large_files(const DiscPlan& plan) {
  std::vector<std::string> names;
  for (const DiscEntry& entry : plan.entries) {
    if (entry.file->size >= kExtentLimit) names.push_back(entry.shown);
  }
  return names;
}

std::string medium_line(const MadeUpdate& made) {
  Medium medium = smallest_medium(made.disc_bytes);
  std::string size = std::to_string(made.disc_bytes) + " bytes " +
                     (made.iso ? "as its image" : "on a disc's file system");
  if (medium == Medium::none) {
    return "The disc takes " + size + ": more than " + medium_name(Medium::bd_dl) +
           " holds; make two updates.\n";
  }
  return "The disc takes " + size + ": the smallest medium that holds it is " +
         medium_name(medium) + ".\n";
}

// Found in Microsoft's own accounts of Windows' reader of ISO 9660 discs: a limit of 4 GB a
// file; see the maintainers' notes.
void large_file_note(const MadeUpdate& made, std::string* out) {
  if (!made.iso) return;
  for (const std::string& name : large_files(*made.plan)) {
    *out += "Note: " + name +
            " is 4 GiB or more, which the image holds in several ISO 9660 extents: Linux reads "
            "it, but Windows documents its reader of such discs with a limit of 4 GB a file, so "
            "a player's Windows may not. Split it under 4 GiB, or write the disc with UDF.\n";
  }
}

std::string data_folder_name(const ListSource& source) {
  return source.PATH.empty() ? "beside update.ini" : "in " + cp932_to_utf8(source.PATH);
}

}  // namespace

std::string summary_text(const MadeUpdate& made) {
  const DiscPlan& plan = *made.plan;
  uint64_t data = data_bytes(plan);
  std::string out = "Made " + shown_path(made.out) + ": update.exe, update.ini and " +
                    std::to_string(plan.entries.size()) + " data file(s) " +
                    data_folder_name(*made.source) + ", " +
                    std::to_string(data + made.exe_bytes + made.list_bytes) +
                    " bytes in all. In copy order (bytes):\n";
  for (const DiscEntry& entry : plan.entries) {
    out += "  " + pad_to_width(change_name(entry.file->change), 7) + " " +
           right_aligned(std::to_string(entry.file->size), 12) + "  " + entry.shown + "\n";
  }
  auto same = std::count_if(made.diff->files.begin(), made.diff->files.end(),
                            [](const NewFile& file) { return file.change == Change::unchanged; });
  if (same != 0) out += "Unchanged, left off the update: " + std::to_string(same) + " file(s)\n";
  list_names(&out,
             "Only in OLD: the updater can't remove files, so these stay in the players' games",
             shown_names(made.diff->only_in_old));
  list_names(&out, "Empty folders of NEW that the updater won't make (it makes folders for files)",
             plan.empty_new_folders);
  list_names(&out, "Only in OLD, neither files nor folders: left as they are",
             shown_names(made.diff->old_others));
  if (made.old_looks_partial) {
    auto added = std::count_if(made.diff->files.begin(), made.diff->files.end(),
                               [](const NewFile& file) { return file.change == Change::added; });
    out += "Note: " + std::to_string(added) + " of NEW's " +
           std::to_string(made.diff->files.size()) +
           " files are added: OLD looks like a part of the game (a previous update disc, say) "
           "rather than the game as players have it installed, and the disc carries the rest of "
           "the game. Give as OLD a copy of the installed previous version.\n";
  }
  list_names(&out,
             "Players' data, put on the disc as --allow-player-data allows: it replaces every "
             "player's own",
             made.player_data);
  list_names(&out,
             "Read-only in OLD: a player's game that has them read-only too keeps them at the "
             "first run (the updater reports each and clears its flag; running the update again "
             "replaces them)",
             made.read_only_in_old);
  if (!made.read_only_in_old.empty()) {
    out += "  (a copy of the game made from a disc keeps the flag; to clear it in OLD: " +
           printable(clear_read_only_command(path_text(made.old_root))) + ")\n";
  }
  out += "The game's drive needs up to " + std::to_string(made.space.needed) + " bytes free (" +
         std::to_string(made.space.cluster_size) +
         "-byte clusters, as OLD's drive has them) while the update runs, for a game that equals "
         "OLD.\n";
  out += medium_line(made);
  large_file_note(made, &out);
  out += "update.exe from " + shown_path(made.exe) + "\n";
  if (made.exe_unsigned) out += std::string(kUnsignedExeAdvice) + ".\n";
  if (made.iso) {
    out += "Disc image " + shown_path(*made.iso) + " (ISO 9660, Joliet, Rock Ridge), volume " +
           made.volume + "\n";
  }
  out += "update-check on " + shown_path(made.out) + ": no problems.\n";
  return out;
}

std::string summary_json(const MadeUpdate& made) {
  const ListSource& source = *made.source;
  const DiscPlan& plan = *made.plan;
  Json doc = Json::object();
  doc["out"] = made.out.u8string();
  doc["iso"] = made.iso ? Json(made.iso->u8string()) : Json(nullptr);
  doc["volume"] = made.iso ? Json(made.volume) : Json(nullptr);
  doc["update_exe"] = made.exe.u8string();
  doc["update_exe_unsigned"] = made.exe_unsigned;
  doc["record"] = {
      {"TITLE", cp932_to_utf8(source.TITLE)}, {"TITLE_OLD", cp932_to_utf8(source.TITLE_OLD)},
      {"PATH", cp932_to_utf8(source.PATH)},   {"REG_P", cp932_to_utf8(source.REG_P)},
      {"REG_S", cp932_to_utf8(source.REG_S)}, {"REG_T", cp932_to_utf8(source.REG_T)}};
  Json types = Json::array();
  for (const std::string& type : source.types)
    types.push_back(cp932_to_utf8(type));
  doc["types"] = types;
  Json entries = Json::array();
  Json added = Json::array();
  Json changed = Json::array();
  for (const DiscEntry& entry : plan.entries) {
    entries.push_back({{"file_name", entry.shown},
                       {"change", change_name(entry.file->change)},
                       {"type", entry.type},
                       {"bytes", entry.file->size}});
    (entry.file->change == Change::added ? added : changed).push_back(entry.shown);
  }
  doc["entries"] = entries;
  doc["added"] = added;
  doc["changed"] = changed;
  doc["unchanged"] = unchanged(*made.diff);
  doc["only_in_old"] = shown_names(made.diff->only_in_old);
  doc["empty_new_folders"] = plan.empty_new_folders;
  doc["skipped"] = shown_names(made.diff->old_others);
  doc["read_only_in_old"] = made.read_only_in_old;
  doc["player_data"] = made.player_data;
  doc["old_looks_partial"] = made.old_looks_partial;
  doc["large_files"] = large_files(plan);
  uint64_t data = data_bytes(plan);
  doc["bytes"] = {{"data", data},
                  {"update_exe", made.exe_bytes},
                  {"update_ini", made.list_bytes},
                  {"total", data + made.exe_bytes + made.list_bytes},
                  {"game_drive_peak", made.space.needed},
                  {"cluster_size", made.space.cluster_size},
                  {"disc", made.disc_bytes}};
  doc["smallest_medium"] = medium_key(smallest_medium(made.disc_bytes));
  // Names of OLD and NEW that aren't UTF-8 are replaced, so the document stays valid.
  return doc.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}
