// Splitting a Windows path into drive, directory, file name and extension, by the rules of the C
// runtime's path split: the double-byte characters of the system's code page are single units,
// each part holds at most 255 bytes, and when one is longer every part comes out empty.
#pragma once

constexpr int kPartWidth = 256;

struct PathParts {
  char drive[3];  // "D:" or empty
  char dir[kPartWidth];
  char fname[kPartWidth];
  char ext[kPartWidth];
};

// Returns false (all parts empty) when a part would be longer than 255 bytes.
bool split_path(const char* path, PathParts* parts);
