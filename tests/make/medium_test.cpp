// The smallest disc that holds an update (each capacity at its last byte and one byte over), and
// the room its files take there.
#include "make/medium.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

struct MediumCase {
  uint64_t bytes;
  const char* key;
};

const MediumCase kMedia[] = {
    {0, "cd"},
    {737280000, "cd"},
    {737280001, "dvd"},
    {4707319808, "dvd"},
    {4707319809, "dvd-dl"},
    {5200000000, "dvd-dl"},
    {8543666176, "dvd-dl"},
    {8543666177, "bd"},
    {25025314816, "bd"},
    {25025314817, "bd-dl"},
    {50050629632, "bd-dl"},
    {50050629633, "none"},
};

TEST(Medium, SmallestThatHoldsIt) {
  for (const MediumCase& c : kMedia)
    EXPECT_STREQ(medium_key(smallest_medium(c.bytes)), c.key) << c.bytes;
}

// A byte of a file takes a whole sector on the disc: 300 files of one byte are not 300 bytes.
TEST(Medium, FilesTakeWholeSectors) {
  std::vector<uint64_t> sizes(300, 1);
  EXPECT_GE(disc_bytes(sizes, 1), 300u * 2048);
  EXPECT_GT(disc_bytes({2049}, 1), disc_bytes({2048}, 1));
}

}  // namespace
