// What update-make tells the publisher once the update is made: the files it carries and why,
// what it leaves out, and the bytes, as text or as one JSON document.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "disc/report.h"
#include "disc_plan.h"
#include "list_source.h"
#include "tree_diff.h"

struct MadeUpdate {
  std::filesystem::path out;
  std::optional<std::filesystem::path> iso;
  std::string volume;         // the image's volume name
  std::filesystem::path exe;  // the update.exe put on the disc
  const ListSource* source;
  const TreeDiff* diff;
  const DiscPlan* plan;
  uint64_t exe_bytes;
  uint64_t list_bytes;
  // The room the copies take on the game's drive at the fullest, reckoned as the updater and
  // update-check --against reckon it, for a game that equals OLD.
  SpaceCheck space;
  bool exe_unsigned = false;  // the update.exe on the disc carries no Authenticode signature
  // Files the update replaces that OLD holds read-only: kept at a first run in a player's game
  // that has them read-only too. Names as the disc's list gives them, UTF-8.
  std::vector<std::string> read_only_in_old;
  std::filesystem::path old_root;
  std::vector<std::string> player_data;  // players' data carried as --allow-player-data allows
  bool old_looks_partial = false;        // most of NEW's files are added
  // What the disc takes: the image's size, or the folder's as a disc's file system lays it out.
  uint64_t disc_bytes = 0;
};

std::string summary_text(const MadeUpdate& made);
std::string summary_json(const MadeUpdate& made);
