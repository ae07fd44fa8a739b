// What only the stand-in can show of the registry read: a double-byte Windows that reports more
// bytes than it wrote, a key the user may only read, and keys closed on every path.
#include <cstring>

#include "app_fixture.h"
#include "registry/game_registry.h"

namespace {

using GameRegistryExtra = AppTest;

TEST_F(GameRegistryExtra, ReportedSizeBeyondTheBufferIsNeverRead) {
  standin::reg_set_value("K", "GAMEPATH", REG_BINARY, std::string(256, 'g'));
  standin::reg_set_reported_size("K", "GAMEPATH", 512);
  char destination[1024];
  memset(destination, 'Z', sizeof destination);
  read_game_registry("K", destination);
  EXPECT_EQ(std::string(destination), std::string(256, 'g'));
}

TEST_F(GameRegistryExtra, ReadOnlyKeyGivesNothing) {
  standin::reg_set_value("K", "GAMEPATH", REG_SZ, std::string("D:\\Foo\0", 7));
  standin::reg_make_read_only("K");
  char destination[1024] = "stale";
  read_game_registry("K", destination);
  EXPECT_STREQ(destination, "");
}

}  // namespace
