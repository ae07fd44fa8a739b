// The room the update needs on the game's drive: which copies count and with what sizes, and
// what the drive's answers make of them.
#include <cstring>

#include "app_fixture.h"
#include "setuplist/setup_record.h"
#include "setuplist/text.h"
#include "update/space_check.h"
#include "plan/update_state.h"

namespace {

struct Sized {
  std::string name;
  size_t size;
};

struct PlanCase {
  const char* name;
  std::vector<std::pair<std::string, uint32_t>> list;  // file name and type mask
  std::vector<Sized> medium;
  std::vector<Sized> game;
  std::vector<std::string> read_only;  // game files
  std::vector<std::pair<uint64_t, uint64_t>> planned;
};

void PrintTo(const PlanCase& c, std::ostream* os) {
  *os << c.name;
}

class Plans : public AppTest, public testing::WithParamInterface<PlanCase> {};

TEST_P(Plans, FollowTheCopy) {
  const PlanCase& c = GetParam();
  reset_tables();
  for (const auto& [name, mask] : c.list) {
    copy_bounded(FileTable.file_name[FileTable.file_count], kFileNameWidth, name.c_str());
    FileTable.type_mask[FileTable.file_count++] = mask;
  }
  for (const Sized& f : c.medium)
    write("medium/GAME/" + f.name, std::string(f.size, 'n'));
  for (const Sized& f : c.game)
    write("game/" + f.name, std::string(f.size, 'o'));
  for (const std::string& f : c.read_only)
    make_read_only("game/" + f);
  copy_bounded(DestinationPath, sizeof DestinationPath, game_.c_str());

  PlannedCopy copies[kFileCapacity];
  int count = plan_copies((work_ / "medium").c_str(), copies);
  std::vector<std::pair<uint64_t, uint64_t>> planned;
  planned.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i)
    planned.emplace_back(copies[i].source_size, copies[i].replaced_size);
  EXPECT_EQ(planned, c.planned);
}

const PlanCase kPlanCases[] = {
    {"first_eight_types_in_list_order",
     {{"b", 2}, {"ninth", 0x100}, {"none", 0x80000000u}, {"a", 0x80}},
     {{"a", 10}, {"b", 20}, {"ninth", 30}, {"none", 40}},
     {{"a", 3}},
     {},
     {{20, 0}, {10, 3}}},
    {"names_outside_the_game_folder_left_out",
     {{"..\\up", 1}, {"CON", 1}, {"a", 1}},
     {{"a", 1}},
     {},
     {},
     {{1, 0}}},
    {"missing_source_adds_nothing", {{"gone", 1}}, {}, {{"gone", 7}}, {}, {{0, 7}}},
    {"refused_game_files_count_nothing",
     {{"ro", 1}, {"dir", 1}, {"ro", 1}},
     {{"ro", 50}, {"dir", 50}},
     {{"ro", 5}, {"dir/x", 5}},
     {"ro"},
     {{0, 0}, {0, 0}, {0, 0}}},
    {"listed_again_replaces_its_earlier_copy",
     {{"sub\\a.txt", 1}, {"b", 1}, {"sub/a.txt", 2}},
     {{"sub/a.txt", 100}, {"b", 1}},
     {{"sub/a.txt", 30}},
     {},
     {{100, 30}, {1, 0}, {100, 100}}},
    // One game file in Windows' eyes; the stand-in's files keep their case, so each spelling
    // has a source of its own here.
    {"listed_again_in_other_letter_case",
     {{"A", 1}, {"a", 1}},
     {{"A", 5}, {"a", 6}},
     {{"a", 9}},
     {},
     {{5, 0}, {6, 5}}},
    {"listed_again_after_its_source_was_missing",
     {{"gone", 1}, {"gone", 1}},
     {},
     {{"gone", 9}},
     {},
     {{0, 9}, {0, 9}}},
    // A double-byte character compares whole: its second byte is no letter to fold.
    {"double_byte_characters_compare_whole",
     {{"\x83\x61", 1}, {"\x83\x41", 1}, {"\x83\x61", 1}},
     {{"\x83\x61", 4}, {"\x83\x41", 6}},
     {},
     {},
     {{4, 0}, {6, 0}, {4, 4}}},
};

INSTANTIATE_TEST_SUITE_P(Table, Plans, testing::ValuesIn(kPlanCases), CaseName());

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
