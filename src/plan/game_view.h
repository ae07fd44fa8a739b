// A read-only view of the game folder and of the update medium, as the copy plan asks about them.
// The updater answers from the system's file functions, the publisher's tools from a folder on
// their own machine; the plan itself never touches a file.
#pragma once

#include <cstdint>

// One entry of the game folder, as the update finds it before its first copy.
struct GameEntry {
  bool exists;
  bool folder;
  uint64_t size;
  bool read_only;
  bool hidden;
  bool system;
};

struct GameView {
  void* context;
  // The file or folder name (a name from the list, or a folder part of one; code page 932) below
  // the game folder.
  GameEntry (*game_entry)(void* context, const char* name);
  // The source of the list's entry on the medium: false when it is no file there.
  bool (*source_size)(void* context, int32_t entry, uint64_t* size);
  // The game folder as the updater writes its paths, for their length; empty when unknown.
  const char* folder;
};
