// What the checker says about a list beyond its single lines: a list saved as UTF-8, blanks at
// the end of PATH and of the registry key's parts, a list under another name, a disc folder whose
// path code page 932 can't hold, and the folders the updater can't make. Runs after the parse,
// while the setup record still holds the list's values.
#pragma once

#include <string>
#include <vector>

#include "cp932_text.h"
#include "plan/copy_plan.h"
#include "report.h"
#include "source_lookup.h"

// A file of the list, as the checks after the parse need it.
struct ListedFile {
  int index;
  int line;
  std::string name;  // code page 932, as the list gives it
  bool copied;       // under one of the types the updater copies
  bool safe;         // a name the updater accepts
  SourceFile source;
};

// What the parse saw besides the record and the tables.
struct ListFacts {
  Utf8Guess encoding;
  std::string first_line;  // line 1 as the parser read it
  int path_line = 0;       // the line that last set PATH; 0 when none did
  int reg_lines[3] = {};   // the same for REG_P, REG_S and REG_T
};

// Adds the problems and notes about the list as a whole. Returns, for each file, whether its own
// missing-source problem is explained by one of them (and so left out).
std::vector<bool> add_list_hints(const std::string& list_path, const std::string& medium,
                                 const ListFacts& facts, const std::vector<ListedFile>& files,
                                 CheckReport* report);

// For each copied file whose folder can't be made because the level above it is missing (the
// updater makes one level per file): with a game folder a missing-folder problem, else a note
// that the players' games need that level.
void add_folder_notes(const CopyPlan& plan, const std::vector<ListedFile>& files, bool has_game,
                      CheckReport* report);
