// The output folder and the temporary folder it is built in.
#include "out_folder.h"

#include <fstream>
#include <system_error>

#include "disc/console.h"
#include "disc/progress.h"
#include "disc/names.h"
#include "disc/system/file_copy.h"
#include "disc/system/file_queries.h"
#include "disc/system/files.h"
#include "disc/system/paths.h"
#include "disc/system/temporaries.h"

namespace fs = std::filesystem;

namespace {

// A path as the file system compares it, ending in a separator.
std::string comparable(const fs::path& path) {
  std::string text = tidy_path(path).generic_u8string();
  if (kCaseBlindFileNames) return name_key(text, NameText::utf8) + '\\';
  if (text.empty() || text.back() != '/') text += '/';
  return text;
}

}  // namespace

fs::path tidy_path(const fs::path& path) {
  std::error_code ec;
  fs::path full = fs::weakly_canonical(fs::absolute(path, ec), ec);
  if (ec) full = fs::absolute(path, ec).lexically_normal();
  if (!full.has_filename() && full.has_parent_path() && full != full.root_path()) {
    full = full.parent_path();
  }
  return full;
}

bool is_inside(const fs::path& inner, const fs::path& outer) {
  std::string in = comparable(inner);
  std::string out = comparable(outer);
  return in.compare(0, out.size(), out) == 0;
}

std::string out_problem(const fs::path& out, const fs::path& old_root, const fs::path& new_root) {
  std::error_code ec;
  fs::file_status status = fs::symlink_status(out, ec);
  if (fs::exists(status)) {
    if (!fs::is_directory(status)) return shown_path(out) + " exists and is not a folder";
    if (!fs::is_empty(out, ec) || ec) {
      return shown_path(out) + " exists and is not empty; give a new or an empty folder";
    }
  }
  fs::path full = tidy_path(out);
  if (full == full.root_path()) return shown_path(out) + " is a drive's root; give a folder on it";
  // The finished folder takes OUT's place: a shell inside it would be left in a deleted folder
  // (and Windows refuses to remove a folder that a program has as its current one).
  fs::path here = fs::current_path(ec);
  if (!ec && is_inside(here, out)) {
    return shown_path(out) +
           " is the current folder, which the finished update would replace; give a new "
           "folder, such as disc";
  }
  fs::path parent = full.parent_path();
  if (!fs::is_directory(parent, ec)) return "the folder " + shown_path(parent) + " does not exist";
  if (is_inside(out, old_root))
    return shown_path(out) + " lies inside OLD; give a folder outside it";
  if (is_inside(out, new_root))
    return shown_path(out) + " lies inside NEW; give a folder outside it";
  return "";
}

fs::path temporary_beside(const fs::path& target) {
  fs::path full = tidy_path(target);
  return full.parent_path() /
         fs::u8path("." + full.filename().u8string() + ".making-" + std::to_string(process_id()));
}

std::vector<fs::path> stale_temporaries(const fs::path& target) {
  fs::path full = tidy_path(target);
  std::string stem = "." + full.filename().u8string() + ".making";
  std::vector<fs::path> stale;
  std::error_code ec;
  for (fs::directory_iterator it(full.parent_path(), ec); !ec && it != fs::directory_iterator();
       it.increment(ec)) {
    if (it->path().filename().u8string().compare(0, stem.size(), stem) == 0) {
      stale.push_back(it->path());
    }
  }
  return stale;
}

Staging::~Staging() {
  if (path_.empty() || committed_) return;
  // Nothing more can be done when this fails; the folder has a name of its own.
  auto lock = temporaries_lock();
  (void)remove_tree(path_);
  lock.unlock();
  untrack_temporary(path_);
}

bool Staging::open(const fs::path& target, std::string* error) {
  target_ = tidy_path(target);
  fs::path candidate = temporary_beside(target_);
  std::error_code ec;
  track_temporary(candidate);
  if (!fs::create_directory(candidate, ec)) {
    untrack_temporary(candidate);
    *error =
        "cannot make " + shown_path(candidate) + ": " + (ec ? ec.message() : "it exists already");
    return false;
  }
  path_ = candidate;
  return true;
}

bool Staging::commit(std::string* error) {
  auto lock = temporaries_lock();  // an interrupt now finds either the folder or OUT
  std::error_code ec;
  // rename() replaces an empty folder on POSIX but not on Windows: take it away first.
  fs::remove(target_, ec);
  ec.clear();
  fs::rename(path_, target_, ec);
  if (ec) {
    *error =
        "cannot rename " + shown_path(path_) + " to " + shown_path(target_) + ": " + ec.message();
    return false;
  }
  committed_ = true;
  lock.unlock();
  untrack_temporary(path_);
  return true;
}

bool copy_file_to(const fs::path& from, const fs::path& to, std::string* error) {
  std::error_code ec;
  fs::create_directories(to.parent_path(), ec);
  if (!ec && !copy_file_bytes(from, to, error, progress_add)) {
    *error = "cannot copy " + shown_path(from) + " to " + shown_path(to) + ": " + *error;
    return false;
  }
  // A read-only copy could neither have its time set nor be removed on Windows: the disc's files
  // keep NEW's permissions, writable on both builds.
  fs::perms perms = fs::status(from, ec).permissions();
  if (!ec) fs::permissions(to, perms | fs::perms::owner_write, fs::perm_options::replace, ec);
  fs::file_time_type modified;
  if (!ec) modified = fs::last_write_time(from, ec);
  if (!ec) fs::last_write_time(to, modified, ec);
  if (ec) {
    *error = "cannot copy " + shown_path(from) + " to " + shown_path(to) + ": " + ec.message();
    return false;
  }
  uintmax_t want = fs::file_size(from, ec);
  uintmax_t got = fs::file_size(to, ec);
  if (ec || want != got) {
    *error = "the copy " + shown_path(to) + " does not have the size of " + shown_path(from);
    return false;
  }
  return true;
}

bool same_as_scanned(const NewFile& file, std::string* error) {
  EntryFacts now = entry_facts(file.path);  // as the scan read it
  if (!now.file || now.size != file.size || now.modified != file.modified) {
    *error = printable(file.path) +
             " in NEW changed while update-make ran (its size or time is not what the scan "
             "found); run it again when NEW no longer changes";
    return false;
  }
  return true;
}

bool write_file(const fs::path& to, const std::string& bytes, std::string* error) {
  std::ofstream out(to, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    *error = "cannot write " + shown_path(to);
    return false;
  }
  return true;
}
