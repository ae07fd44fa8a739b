// The discs an update folder can go on: the smallest that holds it, and what a disc image's
// reader makes of a file of 4 GiB or more.
#pragma once

#include <cstdint>
#include <vector>

enum class Medium { cd, dvd, dvd_dl, bd, bd_dl, none };

// What a data disc of each kind holds, in bytes; 0 for none.
uint64_t medium_capacity(Medium medium);
// The smallest medium that holds bytes.
Medium smallest_medium(uint64_t bytes);
const char* medium_key(Medium medium);   // "cd", "dvd", "dvd-dl", "bd", "bd-dl", "none"
const char* medium_name(Medium medium);  // "a CD-R (700 MB)" and so on

// An ISO 9660 directory record holds a size of 32 bits: a file this large goes into an image in
// several extents.
constexpr uint64_t kExtentLimit = uint64_t{1} << 32;

// What the folder's files take as a disc's file system lays them out, from above: each file in
// whole sectors, and room for the folders, the names and the volume's own structures.
uint64_t disc_bytes(const std::vector<uint64_t>& file_sizes, uint64_t folders);
