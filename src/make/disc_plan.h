// Which files go on the update and in what order: every added or changed file of NEW, each with a
// name the updater can carry and a type it copies, ordered so that the updater, which makes only
// the innermost folder of each file, finds every folder it needs.
#pragma once

#include <string>
#include <vector>

#include "list_source.h"
#include "tree_diff.h"

struct DiscEntry {
  const NewFile* file;
  std::string list_name;  // code page 932, '\' between folders, as update.ini names it
  std::string shown;      // the same in UTF-8
  int type;
};

struct DiscPlan {
  std::vector<DiscEntry> entries;              // in copy order
  std::vector<std::string> problems;           // every reason the update can't be made, UTF-8
  std::vector<std::string> empty_new_folders;  // folders of NEW the updater won't make: no files
};

// The name of a file or folder below OLD or NEW as this tool shows it: '\' between folders,
// control characters escaped.
std::string shown_name(const std::string& rel);

DiscPlan plan_disc(const TreeDiff& diff, const ListSource& source);
