// Disc capacities and the room a folder takes on one.
#include "medium.h"

namespace {

constexpr uint64_t kSector = 2048;

// The sectors of user data a blank disc of each kind holds (an 80-minute CD-R; single- and
// dual-layer DVD-R; single- and dual-layer BD-R), from the smallest.
struct Capacity {
  Medium medium;
  uint64_t sectors;
  const char* key;
  const char* name;
};
const Capacity kCapacities[] = {
    {Medium::cd, 360000, "cd", "a CD-R (700 MB)"},
    {Medium::dvd, 2298496, "dvd", "a DVD-R (4.7 GB)"},
    {Medium::dvd_dl, 4171712, "dvd-dl", "a dual-layer DVD-R (8.5 GB)"},
    {Medium::bd, 12219392, "bd", "a BD-R (25 GB)"},
    {Medium::bd_dl, 24438784, "bd-dl", "a dual-layer BD-R (50 GB)"},
};

// The volume's own structures: the system area, the volume descriptors of ISO 9660 and Joliet,
// their path tables; generous, so that a folder said to fit does.
constexpr uint64_t kVolumeBytes = 1 << 20;
// Each name has a directory record in the ISO 9660 tree (with its Rock Ridge fields) and one in
// the Joliet tree; each folder takes at least a sector in both.
constexpr uint64_t kNameBytes = 512;
constexpr uint64_t kFolderBytes = 2 * kSector;

uint64_t whole_sectors(uint64_t bytes) {
  return (bytes + kSector - 1) / kSector * kSector;
}

}  // namespace

uint64_t medium_capacity(Medium medium) {
  for (const Capacity& c : kCapacities) {
    if (c.medium == medium) return c.sectors * kSector;
  }
  return 0;
}

Medium smallest_medium(uint64_t bytes) {
  for (const Capacity& c : kCapacities) {
    if (bytes <= c.sectors * kSector) return c.medium;
  }
  return Medium::none;
}

const char* medium_key(Medium medium) {
  for (const Capacity& c : kCapacities) {
    if (c.medium == medium) return c.key;
  }
  return "none";
}

const char* medium_name(Medium medium) {
  for (const Capacity& c : kCapacities) {
    if (c.medium == medium) return c.name;
  }
  return "no single disc";
}

uint64_t disc_bytes(const std::vector<uint64_t>& file_sizes, uint64_t folders) {
  uint64_t total = kVolumeBytes + folders * (kFolderBytes + kNameBytes);
  for (uint64_t size : file_sizes)
    total += whole_sectors(size) + kNameBytes;
  return total;
}
