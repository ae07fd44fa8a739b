// What update.exe will make of a disc and a game folder, read with the updater's own parser and
// path rules, and why a copy it reports as failed could not be made.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "plan/copy_paths.h"

struct RunCopy {
  std::string name;  // as the list gives it, code page 932
  CopyPaths paths;   // exactly as the copy step composes them
};

struct ListNote {
  int line;
  std::string text;  // code page 932
};

struct RunPlan {
  bool list_found = false;
  std::string title;
  std::string title_old;
  std::string data_folder;  // PATH
  std::string key;          // REG_KEY, below HKEY_CURRENT_USER
  int file_count = 0;       // lines of the file table, copied or not
  std::vector<ListNote> unknown_types;
  bool over_limit = false;  // the updater stops before any dialog
  ListNote limit;
  std::string game_path;        // GAMEPATH as registered
  std::string destination;      // the game folder as the copy uses it, after Start
  std::vector<RunCopy> copies;  // in copy order
};

// Reads <disc>\update.ini as update.exe does when started with the disc as its current
// directory and game_path in GAMEPATH.
RunPlan plan_run(const std::string& disc, const std::string& game_path);

// Registers game_path as GAMEPATH under the list's key, made when missing.
void register_plan(const RunPlan& plan);

// Registers game_path as GAMEPATH under installer_key, as the game's installer left it on a
// player's machine, and takes GAMEPATH from the list's key. Returns whether the updater will
// find it there all the same: the registry takes both names for one key.
bool register_installer_key(const RunPlan& plan, const std::string& installer_key);

struct FailureCause {
  int copy = -1;       // the planned copy the box names, or -1 when it names none
  std::string cause;   // one word for the script: read-only, missing-source, ...
  std::string detail;  // code page 932; what the cause needs to be understood
};

// Why a failure box is on screen: the planned copy its text names, from *cursor on (which it
// then passes), and what about the game folder and the disc explains the failure.
FailureCause explain_failure(const RunPlan& plan, const std::string& text, size_t* cursor);
