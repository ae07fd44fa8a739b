// Runs xorriso with an argument vector of its own, never through a shell: the names come from
// the publisher's folders.
#include "iso_image.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "disc/system/child_process.h"
#include "disc/system/temporaries.h"

namespace {

// xorriso's messages, kept for when it fails.
std::string read_log(const std::filesystem::path& log) {
  std::ifstream in(log, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

std::string volume_name_problem(const std::string& name) {
  if (name.empty() || name.size() > 16) return "has " + std::to_string(name.size()) + " characters";
  for (char c : name) {
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) {
      return "has '" + std::string(1, c) + "'";
    }
  }
  return "";
}

// The title is read in code page 932, where the full-width letters, digits and the ideographic
// blank have two-byte codes in three runs of row 0x81-0x82.
std::string volume_name_of_title(const std::string& title) {
  std::string name;
  for (size_t i = 0; i < title.size(); ++i) {
    auto b = static_cast<unsigned char>(title[i]);
    unsigned c = b;
    if (b >= 0x80) {
      unsigned code = i + 1 < title.size() ? b << 8 | static_cast<unsigned char>(title[++i]) : 0;
      c = code == 0x8140                     ? ' '
          : code >= 0x824F && code <= 0x8258 ? '0' + (code - 0x824F)
          : code >= 0x8260 && code <= 0x8279 ? 'A' + (code - 0x8260)
          : code >= 0x8281 && code <= 0x829A ? 'a' + (code - 0x8281)
                                             : '?';
    }
    if (c >= 'a' && c <= 'z') c -= 'a' - 'A';
    if (c == ' ' || c == '-' || c == '.') c = '_';
    name += static_cast<char>(c);
  }
  return volume_name_problem(name).empty() ? name : "UPDATE";
}

std::string images_unavailable() {
  if (!runs_programs()) return "this build makes no disc images; make them with the Linux build";
  if (!program_on_path("xorriso")) {
    return "xorriso, which writes the image, is not on the PATH (Debian's package xorriso)";
  }
  return "";
}

bool write_iso_image(const std::filesystem::path& folder, const std::filesystem::path& image,
                     const std::string& volume, std::string* error) {
  std::filesystem::path log = image;
  log += ".log";
  track_temporary(log);
  // The names are UTF-8 whatever the caller's locale: without -local_charset a C locale turns
  // every Japanese character of the Joliet names, which Windows reads, into an underscore.
  int status = run_program({"xorriso",
                            "-report_about",
                            "SORRY",
                            "-abort_on",
                            "FAILURE",
                            "-local_charset",
                            "UTF-8",
                            "-outdev",
                            "stdio:" + image.string(),
                            "-volid",
                            volume,
                            "-joliet",
                            "on",
                            "-rockridge",
                            "on",
                            "-compliance",
                            "joliet_long_names",
                            "-map",
                            folder.string(),
                            "/",
                            "-commit"},
                           log);
  std::string messages = read_log(log);
  std::error_code ignored;
  std::filesystem::remove(log, ignored);
  untrack_temporary(log);
  if (status == 0) return true;
  *error = status == 127 ? "cannot run xorriso (is it installed?)"
                         : "xorriso failed (status " + std::to_string(status) + "):\n" + messages;
  return false;
}
