// The three paths of one copy: the folder the file goes into, the destination file and the
// source file on the update medium.
#pragma once

constexpr int kDirectoryPathWidth = 260;  // the ANSI file functions take nothing longer
constexpr int kCopyPathWidth = 1024;

struct CopyPaths {
  char directory_part[256];             // the name's folders, ending with a separator, or empty
  char directory[kDirectoryPathWidth];  // <game folder>\<directory part>
  bool directory_fits;                  // false: too long for the folder functions, not formed
  char destination[kCopyPathWidth];     // <game folder>\<name>
  char source[kCopyPathWidth];          // <medium folder>\<data folder>\<name>
};

// source_base is the current directory, data_folder the list's PATH, game_folder the normalised
// destination and name the file's path from the list. Exactly one backslash joins each seam,
// also when the medium folder is a drive root or PATH ends with a backslash, and a folder name
// ending in a double-byte character whose second byte is 0x5C keeps that character.
void compose_copy_paths(const char* source_base, const char* data_folder, const char* game_folder,
                        const char* name, CopyPaths* out);
