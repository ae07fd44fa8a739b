// What update.exe will make of a disc and a game folder, read with the updater's own parser and
// path rules, and why a copy it reports as failed could not be made.
#include "run_plan.h"

#include <cstdio>

#include "drive/error.h"
#include "drive/files.h"
#include "drive/registry.h"
#include "plan/copy_selection.h"
#include "plan/destination.h"
#include "plan/file_names.h"
#include "plan/update_state.h"
#include "setuplist/list_reader.h"
#include "setuplist/setup_parser.h"
#include "setuplist/setup_record.h"

using drive::attributes_of;
using drive::fail;
using drive::is_directory;
using drive::join;

namespace {

void note_unknown_type(void* context, int line, const char* name) {
  static_cast<std::vector<ListNote>*>(context)->push_back({line, name});
}

void parse_list(const std::string& disc, RunPlan* plan) {
  FILE* list = open_setup_list(join(disc, "update.ini").c_str());
  plan->list_found = list != nullptr;
  std::vector<ListNote> unknown_types;
  SetupListHooks hooks{};
  hooks.context = &unknown_types;
  hooks.unknown_type = note_unknown_type;
  SetupRecord = kSetupDefaults;
  if (list != nullptr) {
    parse_setup_list(list, hooks);
    (void)fclose(list);
  }
  plan->title = SetupRecord.TITLE;
  plan->title_old = SetupRecord.TITLE_OLD;
  plan->data_folder = SetupRecord.PATH;
  plan->key = SetupRecord.REG_KEY;
  plan->file_count = FileTable.file_count;
  plan->unknown_types = unknown_types;
  plan->over_limit = SetupProblem.limit != SetupLimit::none;
  plan->limit = {SetupProblem.line, SetupProblem.text};
}

// The folder Start leaves in the dialog's box, normalised as the updater does.
std::string normalized(const std::string& game_path) {
  (void)snprintf(DestinationPath, sizeof DestinationPath, "%s", game_path.c_str());
  normalize_destination();
  return DestinationPath;
}

// The current directory update.exe will see: the disc folder in its full form.
std::string full_path(const std::string& folder) {
  char full[MAX_PATH * 2];
  DWORD n = GetFullPathNameA(folder.c_str(), sizeof full, full, nullptr);
  if (n == 0 || n >= sizeof full) fail("cannot resolve " + folder);
  std::string path(full, n);
  // The current directory keeps a backslash only at a drive root.
  if (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

// "のファイルコピーができません。" after "SRC -> DST": DST, or empty for another text.
std::string failed_destination(const std::string& text) {
  const std::string suffix = "のファイルコピーができません。";
  if (text.size() < suffix.size() ||
      text.compare(text.size() - suffix.size(), suffix.size(), suffix) != 0) {
    return std::string();
  }
  size_t end = text.size() - suffix.size();
  size_t arrow = text.rfind(" -> ", end);
  return arrow == std::string::npos ? std::string() : text.substr(arrow + 4, end - arrow - 4);
}

bool is_separator(char c) {
  return c == '\\' || c == '/';
}

// The outermost folder of the name's folder part that the game lacks; empty when all are there.
std::string first_missing_folder(const std::string& game, const std::string& folders) {
  for (size_t i = 0; i < folders.size(); ++i) {
    if (IsDBCSLeadByteEx(932, static_cast<BYTE>(folders[i]))) {
      ++i;
    } else if (is_separator(folders[i]) && i > 0) {
      std::string prefix = folders.substr(0, i);
      if (!is_directory(join(game, prefix))) return prefix;
    }
  }
  return std::string();
}

unsigned long long size_of(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &info)) return 0;
  return (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

FailureCause folder_cause(const RunPlan& plan, const RunCopy& copy) {
  std::string folders = copy.paths.directory_part;
  std::string missing = first_missing_folder(plan.destination, folders);
  if (missing.empty()) return {-1, "", ""};
  // The updater makes the innermost folder only: one missing above it stops the copy.
  if (missing.size() + 1 < folders.size()) return {-1, "missing-folder-level", missing};
  return {-1, "folder-not-made", missing};
}

FailureCause space_cause(const RunPlan& plan, const RunCopy& copy) {
  ULARGE_INTEGER free_bytes;
  unsigned long long needed = size_of(copy.paths.source);
  if (!GetDiskFreeSpaceExA(join(plan.destination, "").c_str(), &free_bytes, nullptr, nullptr) ||
      free_bytes.QuadPart >= needed) {
    return {-1, "", ""};
  }
  return {
      -1, "disk-full",
      std::to_string(needed) + " bytes needed, " + std::to_string(free_bytes.QuadPart) + " free"};
}

// Looked at while the box is open: the updater clears a read-only flag only after the box
// closes, and by then an earlier step may have made a folder or cleared a flag that the plan
// could not foresee.
FailureCause cause_of(const RunPlan& plan, const RunCopy& copy) {
  if (!is_safe_file_name(copy.name.c_str())) return {-1, "unsafe-name", ""};
  if (!copy.paths.directory_fits) return {-1, "path-too-long", copy.paths.directory};
  DWORD destination = attributes_of(copy.paths.destination);
  if (destination != INVALID_FILE_ATTRIBUTES) {
    if ((destination & FILE_ATTRIBUTE_DIRECTORY) != 0) return {-1, "folder-in-the-way", ""};
    if ((destination & FILE_ATTRIBUTE_READONLY) != 0) return {-1, "read-only", ""};
    if ((destination & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0) {
      return {-1, "hidden-system", ""};
    }
  }
  DWORD source = attributes_of(copy.paths.source);
  if (source == INVALID_FILE_ATTRIBUTES || (source & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return {-1, "missing-source", copy.paths.source};
  }
  FailureCause found = folder_cause(plan, copy);
  if (found.cause.empty()) found = space_cause(plan, copy);
  if (found.cause.empty()) found.cause = "unknown";
  return found;
}

int find_copy(const RunPlan& plan, const std::string& destination, size_t from) {
  for (size_t i = from; i < plan.copies.size(); ++i) {
    if (plan.copies[i].paths.destination == destination) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

RunPlan plan_run(const std::string& disc, const std::string& game_path) {
  RunPlan plan;
  parse_list(disc, &plan);
  plan.game_path = game_path;
  plan.destination = normalized(game_path);
  std::string base = full_path(disc);
  int32_t cursor = 0;
  for (int32_t entry = next_selected_entry(FileTable, kCopiedTypesMask, &cursor); entry >= 0;
       entry = next_selected_entry(FileTable, kCopiedTypesMask, &cursor)) {
    RunCopy copy;
    copy.name = FileTable.file_name[entry];
    compose_copy_paths(base.c_str(), plan.data_folder.c_str(), plan.destination.c_str(),
                       copy.name.c_str(), &copy.paths);
    plan.copies.push_back(copy);
  }
  return plan;
}

// The key is not deleted first: a list whose key parts are empty would name a key far above the
// game's, such as Software itself.
void register_plan(const RunPlan& plan) {
  drive::set_values(plan.key, {drive::string_value("GAMEPATH", plan.game_path)});
}

// A GAMEPATH left under the list's key by an earlier try would hide a wrong key.
bool register_installer_key(const RunPlan& plan, const std::string& installer_key) {
  drive::delete_value(plan.key, "GAMEPATH");
  drive::set_values(installer_key, {drive::string_value("GAMEPATH", plan.game_path)});
  return drive::has_value(plan.key, "GAMEPATH");
}

FailureCause explain_failure(const RunPlan& plan, const std::string& text, size_t* cursor) {
  std::string destination = failed_destination(text);
  int index = find_copy(plan, destination, *cursor);
  if (index < 0) index = find_copy(plan, destination, 0);  // a list read otherwise than planned
  if (index < 0) return {-1, "unknown", destination};
  FailureCause found = cause_of(plan, plan.copies[index]);
  found.copy = index;
  *cursor = static_cast<size_t>(index) + 1;
  return found;
}
