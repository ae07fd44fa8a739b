// The source of each listed file, composed as the updater composes it, then converted to the form
// the tools hold paths in (UTF-8) and looked up with this system's separators.
#include "source_lookup.h"

#include <filesystem>
#include <system_error>

#include "cp932_text.h"
#include "look_alike.h"
#include "names.h"
#include "system/file_queries.h"
#include "system/paths.h"
#include "plan/copy_paths.h"

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

std::string without_trailing_separators(std::string dir) {
  while (!dir.empty() && is_path_separator(dir.back()))
    dir.pop_back();
  return dir;
}

}  // namespace

std::string setup_list_path(const std::string& dir) {
  return path_text(file_path(dir) / "update.ini");
}

SetupListPlace locate_setup_list(const std::string& path) {
  PathFacts facts = path_facts(path);
  bool folder = facts.exists ? facts.folder : !looks_like_list_file(path);
  if (folder) return {setup_list_path(path), path};
  // "E:\\", "\\" and "/" are roots and keep their separator; "dir/" is the folder "dir".
  std::filesystem::path medium = file_path(path).parent_path();
  return {path, medium.empty() ? "." : path_text(medium)};
}

SourceFile find_source_file(const std::string& dir, const char* data_folder, const char* name) {
  // Composed below an empty base, the path starts with the separator that joins it to dir, as
  // the updater joins it to the current directory.
  CopyPaths paths;
  compose_copy_paths("", data_folder, "", name, &paths);
  // Converted first: the second byte of a double-byte character can be 0x5C, a backslash.
  std::string path =
      without_trailing_separators(dir) + with_native_separators(cp932_to_utf8(paths.source));
  PathFacts facts = path_facts(path);
  bool exists = facts.exists && facts.file;
  return {path, exists, exists ? facts.size : 0};
}

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
