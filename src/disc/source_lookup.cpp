// The source of each listed file, composed as the updater composes it. The two builds differ only
// in the paths' syntax: Windows looks the code page 932 path up as the updater does; on Linux the
// medium's names are UTF-8, so the path is converted and its backslashes become slashes.
#include "source_lookup.h"

#include <filesystem>
#include <system_error>

#include "cp932_text.h"
#include "look_alike.h"
#include "names.h"
#include "plan/copy_paths.h"
#include "system.h"

namespace {

// A path that isn't there but ends like a list file is taken for one, so that the message names
// the missing file rather than a folder of that name.
bool looks_like_list_file(const std::string& path) {
  if (path.size() < 4) return false;
  std::string end = path.substr(path.size() - 4);
  for (char& c : end)
    c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return end == ".ini";
}

}  // namespace

#ifdef _WIN32

#include "plan/dbcs.h"

std::string setup_list_path(const std::string& dir) {
  bool ends_with_separator = ends_with_backslash_char(dir.c_str()) ||
                             (!dir.empty() && (dir.back() == '/' || dir.back() == ':'));
  return dir + (ends_with_separator || dir.empty() ? "" : "\\") + "update.ini";
}

std::string display_path(const std::string& path) {
  return cp932_to_utf8(path);
}

SetupListPlace locate_setup_list(const std::string& path) {
  PathFacts facts = path_facts(path);
  bool folder = facts.exists ? facts.folder : !looks_like_list_file(path);
  if (folder) return {setup_list_path(path), path};
  // The folder part, read by whole characters: a second byte 0x5C is no separator.
  size_t cut = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    if (ansi_lead_byte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
      ++i;
    } else if (path[i] == '\\' || path[i] == '/' || path[i] == ':') {
      cut = i + 1;
    }
  }
  std::string medium = path.substr(0, cut);
  // "E:\" and "\" are roots and keep their separator; "dir\" is the folder "dir".
  bool root = cut == 1 || (cut == 3 && path[1] == ':') || (cut > 0 && path[cut - 1] == ':');
  if (!root && cut > 0) medium.pop_back();
  return {path, medium.empty() ? "." : medium};
}

SourceFile find_source_file(const std::string& dir, const char* data_folder, const char* name) {
  CopyPaths paths;
  compose_copy_paths(dir.c_str(), data_folder, "", name, &paths);
  PathFacts facts = path_facts(paths.source);
  bool exists = facts.exists && facts.file;
  return {cp932_to_utf8(paths.source), exists, paths.source, exists ? facts.size : 0};
}

#else

#include <algorithm>

namespace {

std::string without_trailing_slashes(std::string dir) {
  while (!dir.empty() && dir.back() == '/')
    dir.pop_back();
  return dir;
}

}  // namespace

std::string setup_list_path(const std::string& dir) {
  return dir.empty() ? "update.ini" : without_trailing_slashes(dir) + "/update.ini";
}

std::string display_path(const std::string& path) {
  return path;
}

SetupListPlace locate_setup_list(const std::string& path) {
  PathFacts facts = path_facts(path);
  bool folder = facts.exists ? facts.folder : !looks_like_list_file(path);
  if (folder) return {setup_list_path(path), path};
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {path, "."};
  return {path, slash == 0 ? "/" : path.substr(0, slash)};
}

SourceFile find_source_file(const std::string& dir, const char* data_folder, const char* name) {
  // Composed below an empty base, the path starts with the separator that joins it to dir.
  CopyPaths paths;
  compose_copy_paths("", data_folder, "", name, &paths);
  // Converted first: the second byte of a double-byte character can be 0x5C, a backslash.
  std::string below = cp932_to_utf8(paths.source);
  std::replace(below.begin(), below.end(), '\\', '/');
  std::string path = without_trailing_slashes(dir) + below;
  PathFacts facts = path_facts(path);
  bool exists = facts.exists && facts.file;
  return {path, exists, path, exists ? facts.size : 0};
}

#endif

std::string look_alike_file(const std::string& path) {
  namespace fs = std::filesystem;
  fs::path wanted = fs::u8path(path);
  auto key = [](const std::string& name) { return upper_case_utf8(with_cp932_look_alikes(name)); };
  std::string wanted_key = key(wanted.filename().u8string());
  std::error_code ec;
  for (fs::directory_iterator it(wanted.parent_path(), ec), end; !ec && it != end;
       it.increment(ec)) {
    std::string name = it->path().filename().u8string();
    if (key(name) == wanted_key && it->is_regular_file(ec)) return name;
  }
  return "";
}
