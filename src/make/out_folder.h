// OUT is made complete or not at all: everything goes into a folder beside it under a temporary
// name, which becomes OUT only once the update has been checked.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tree_diff.h"

// An absolute, normalised path without a trailing separator.
std::filesystem::path tidy_path(const std::filesystem::path& path);

// True when inner is outer or lies somewhere below it (as the file system compares names).
bool is_inside(const std::filesystem::path& inner, const std::filesystem::path& outer);

// Why OUT can't be made: it exists and isn't an empty folder, its parent is missing, or it lies
// inside OLD or NEW. Empty when it can.
std::string out_problem(const std::filesystem::path& out, const std::filesystem::path& old_root,
                        const std::filesystem::path& new_root);

// The name of a temporary of this run beside target: ".NAME.making-PID", unique to the run.
std::filesystem::path temporary_beside(const std::filesystem::path& target);
// Temporaries that earlier runs left beside target (they were killed, or the machine stopped).
std::vector<std::filesystem::path> stale_temporaries(const std::filesystem::path& target);

class Staging {
 public:
  Staging() = default;
  ~Staging();  // takes the folder away again unless it became OUT
  Staging(const Staging&) = delete;
  Staging& operator=(const Staging&) = delete;

  // Makes a new folder beside target (temporary_beside), removed again if the run is interrupted.
  bool open(const std::filesystem::path& target, std::string* error);
  const std::filesystem::path& path() const { return path_; }
  // Renames the folder to the target; an empty target folder is replaced.
  bool commit(std::string* error);

 private:
  std::filesystem::path target_;
  std::filesystem::path path_;
  bool committed_ = false;
};

// Copies a file, its folders made as needed and its modification time kept, and checks that the
// copy has the source's size.
bool copy_file_to(const std::filesystem::path& from, const std::filesystem::path& to,
                  std::string* error);
// False, naming the file, when a file of NEW is no longer as the scan found it (size or time): it
// changed while the update was made, and the disc would hold neither what was compared nor
// what NEW holds now.
bool same_as_scanned(const NewFile& file, std::string* error);
bool write_file(const std::filesystem::path& to, const std::string& bytes, std::string* error);
