// Files and folders of a test: the update medium, the game folder, their contents.
#pragma once

#include <string>

#include "drive/files.h"
#include "environment.h"

namespace e2e {

// A new empty folder under this test's work folder.
std::string fresh_folder(const std::string& name);

// An update medium: update.ini at its root and a data folder below it.
struct Medium {
  std::string root;
  std::string data_folder;  // PATH of the setup list, relative to root

  void write_list(const std::string& bytes) const;
  // Writes a data file, making its folders; the name is relative to the data folder.
  void add_file(const std::string& name, const std::string& bytes) const;
  std::string data_path(const std::string& name) const;
};

// A medium in a new folder, with no setup list yet.
Medium fresh_medium(const std::string& name, const std::string& data_folder = "GAME");

}  // namespace e2e
