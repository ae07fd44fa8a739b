// The room the update needs on the game's drive: what the drive's answers make of the plan's
// copies (which copies count, and with what sizes, is the plan's: plan_agreement_test.cpp).
#include <cstring>

#include "app_fixture.h"
#include "plan/update_state.h"
#include "setuplist/setup_record.h"
#include "setuplist/text.h"
#include "update/plan_update.h"
#include "update/space_check.h"

namespace {

// Three one-byte files against the drive's answers: three clusters.
struct RoomCase {
  const char* name;
  const char* game_folder;  // empty: the test's own
  standin::DiskAnswer disk;
  bool measured;
  uint64_t needed;
};

void PrintTo(const RoomCase& c, std::ostream* os) {
  *os << c.name;
}

class Room : public AppTest, public testing::WithParamInterface<RoomCase> {};

TEST_P(Room, CountsWholeClusters) {
  const RoomCase& c = GetParam();
  reset_tables();
  for (const char* name : {"a", "b", "c"}) {
    copy_bounded(FileTable.file_name[FileTable.file_count], kFileNameWidth, name);
    FileTable.type_mask[FileTable.file_count++] = 1;
    write(std::string("medium/GAME/") + name, "x");
  }
  std::string game = *c.game_folder != '\0' ? c.game_folder : game_;
  copy_bounded(DestinationPath, sizeof DestinationPath, game.c_str());
  standin::set_disk(c.disk);
  plan_update();
  DiskRoom room = {0, 0};
  EXPECT_EQ(measure_disk_room(&room), c.measured);
  EXPECT_EQ(room.needed, c.needed);
  EXPECT_EQ(room.available, c.measured ? c.disk.available : 0);
}

const RoomCase kRoomCases[] = {
    {"cluster_of_the_folder", "", {true, 5000, 32, 512, false}, true, 49152},
    {"cluster_of_the_root_on_older_windows", "C:\\game", {true, 5000, 4, 512, true}, true, 6144},
    {"no_root_to_ask_takes_4096", "", {true, 5000, 4, 512, true}, true, 12288},
    {"no_cluster_size_takes_4096", "", {true, 5000, 0, 512, false}, true, 12288},
    {"free_space_unreadable", "", {false, 0, 8, 512, false}, false, 0},
};

INSTANTIATE_TEST_SUITE_P(Table, Room, testing::ValuesIn(kRoomCases), CaseName());

}  // namespace
