// What the updater will make of a setup list: its record, its tables, where each file comes from,
// and every problem found, with the list's line numbers. All text is UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game_folder.h"
#include "plan/copy_plan.h"

enum class ProblemKind {
  unknown_type,    // a type name the updater reports as "not list type"
  never_copied,    // a file under no type, or under a type the updater doesn't copy
  missing_source,  // a copied file whose source isn't on the medium
  unsafe_name,     // a file name that would land outside the game folder
  bad_character,   // a character Windows does not allow in a name: the copy fails
  changed_name,    // a level ending in a dot or a blank, which Windows drops
  disc_name,       // the disc's own update.ini or update.exe, where the data files sit
  limit,           // over a limit of the record or the tables: the updater copies nothing
  line_split,      // a line the updater reads as two or more
  encoding,        // bytes that aren't code page 932, NUL bytes, text after a Ctrl-Z
  missing_folder,  // a folder the updater can't make is missing from the game (--against)
  registry_key,    // the list's key is not the one the game's installer writes (--key, --reg)
  registry_value,  // the installer's value is not one the updater reads as its folder (--reg)
  update_exe,      // the medium's update.exe is missing or no Windows program
  player_data,  // the copy replaces a player's save or settings, newer than the disc's (--against)
};

const char* problem_kind_name(ProblemKind kind);

struct Problem {
  int line;  // line of the list, counted from 1 as an editor counts them
  ProblemKind kind;
  std::string message;
};

// What may be meant, but deserves a look; notes don't change the exit status.
enum class NoteKind {
  folder_needed,   // a copied file needs a folder in the game that the list never makes
  blank_in_value,  // a registry key part ends in a blank, which becomes part of the key
  list_name,       // the list checked is not named update.ini
  disc_path,       // the disc's folder has a path code page 932 can't hold: the updater stops
  // With a game folder to check against:
  older_than_installed,  // the game's file is newer than the one that would replace it
  changes_nothing,       // every copied file is identical to the game's
  unsigned_exe,          // the medium's update.exe carries no Authenticode signature
  read_only_file,        // a game file the copy replaces is read-only in a copy of the game
};

const char* note_kind_name(NoteKind kind);

struct Note {
  int line;
  NoteKind kind;
  std::string message;
};

struct RecordField {
  const char* key;  // the keyword, as the list spells it
  std::string value;
};

struct TypeEntry {
  int index;
  std::string name;
  bool copied;
  int line;
};

struct FileEntry {
  int index;
  std::string file_name;
  int32_t type;  // the type the entry was read under; -1 for none
  uint32_t type_mask;
  bool copied;
  std::string source;  // the path the checker looked the file up under
  bool source_exists;
  int line;
};

// What the updater would do with one copied entry in a given game folder.
enum class Outcome { added, replaces, identical, fails };

const char* outcome_name(Outcome outcome);  // "new", "replaces", "identical", "fails"

struct PreviewEntry {
  int index;  // of the file in files
  int line;
  std::string file_name;
  Outcome outcome;
  std::string reason;  // why it fails; empty otherwise
  uint64_t bytes;      // what the updater writes: the source's size (identical files too), or 0
};

struct SpaceCheck {
  uint64_t needed = 0;        // room taken at the fullest, in whole clusters
  uint64_t cluster_size = 0;  // the filesystem's block size
  bool free_known = false;
  uint64_t free = 0;  // bytes an ordinary user may still write there
  bool fits = true;
};

struct CheckReport {
  std::string list_path;
  std::vector<RecordField> record;  // TITLE, TITLE_OLD, PATH, REG_P, REG_S, REG_T, REG_KEY
  std::vector<TypeEntry> types;
  std::vector<FileEntry> files;
  std::vector<Problem> problems;  // in line order
  std::vector<Note> notes;        // in line order
  // Only with a game folder to check against.
  std::string against;  // the game folder, UTF-8; empty: no preview
  std::vector<PreviewEntry> entries;
  SpaceCheck space;
  // The updater's copy plan: against the game folder, or one that has none of the list's files.
  std::vector<PlanStep> plan;
};

// Reads the update.ini in dir (or the list dir names itself) exactly as the updater does.
// Returns false, with the reason in *error, when the list can't be opened or read.
bool build_report(const std::string& dir, CheckReport* report, std::string* error);
// The same, and what the update would do to the game installed in game_dir, read as reading
// says. False also when game_dir is not a folder.
bool build_report(const std::string& dir, const std::string& game_dir, CheckReport* report,
                  std::string* error, GameReading reading = GameReading::as_found);

// Whether a report finds anything that keeps the update from doing all it should: a problem,
// or in the preview an entry that fails or a copy that doesn't fit.
bool report_finds_faults(const CheckReport& report);
