// The game's copy listed before and after the run, file by file, and what the run copied, told
// from the two listings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ListingEntry {
  std::string name;  // below the game folder, UTF-8, '\' between levels
  uint64_t size = 0;
  bool read_only = false;
  // What tells one file from another on its volume (the file index): a file the update
  // replaced gets a new one, as it is renamed into place.
  std::string id;
  std::string md5;  // of the bytes, in hex
};

// Sorted by name, byte for byte.
using Listing = std::vector<ListingEntry>;

// The listing as a file keeps it: one line a file, its id, size, "read-only" or "-", MD5 and
// name separated by tabs.
std::string listing_file(const Listing& listing);
// The listing as people read it: names, sizes and the start of each MD5; read-only marked.
std::string listing_text(const Listing& listing);

// "copied: N file(s): a new, b replaced, c unchanged", then a line for each such file and for
// each file the run took away (GONE). A file with the same id and bytes before and after was not
// copied.
std::string copied_summary(const Listing& before, const Listing& after);
