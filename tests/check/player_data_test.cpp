// The table of players' data: which names it takes for saves and settings, and which it leaves
// to the game, since a name taken wrongly refuses a real update.
#include <gtest/gtest.h>

#include "disc/player_data.h"

namespace {

struct NameCase {
  const char* name;
  PlayerData kind;
};

const NameCase kNames[] = {
    {"save/data01.sav", PlayerData::save_folder},
    {"Save\\system.dat", PlayerData::save_folder},
    {"data/SAVEDATA/slot1.bin", PlayerData::save_folder},
    {u8"セーブ/01.dat", PlayerData::save_folder},
    {"data01.SAV", PlayerData::save_file},
    {"slot.sv3", PlayerData::save_file},
    {"config.ini", PlayerData::settings},
    {"sys/Config.INI", PlayerData::settings},
    {"engine.cfg", PlayerData::settings},
    // What a game ships: no folder is a save folder by a part of its name, and an ending alone
    // is no file of that type.
    {"save", PlayerData::none},
    {"saves.txt", PlayerData::none},
    {"autosave/x.dat", PlayerData::none},
    {"icon.svg", PlayerData::none},
    {"slot.svx", PlayerData::none},
    {"config.ini.bak", PlayerData::none},
    {"myconfig.ini", PlayerData::none},
    {".cfg", PlayerData::none},
    {u8"設定.ini", PlayerData::none},
};

TEST(PlayerData, NamesAsTheTableReadsThem) {
  for (const NameCase& c : kNames)
    EXPECT_EQ(player_data_kind(c.name), c.kind) << c.name;
}

}  // namespace
