// Reading GAMEPATH from the game's key: one table, run against the stand-in on Linux and against
// Wine's real registry.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "registry/game_registry.h"
#include "registry_seed.h"
#include "test_support.h"

namespace {

struct Value {
  std::string name;
  uint32_t type;
  std::string data;
};

// Windows enumerates values in the order they were set, Wine in the order of their names: the
// rows give each value a name that sorts where it was set, so both meet them in the same order.
struct RegistryCase {
  const char* name;
  std::vector<Value> values;  // set in this order
  std::string expected;
};

void PrintTo(const RegistryCase& c, std::ostream* os) {
  *os << c.name;
}

std::string sz(const std::string& s) {
  return s + std::string(1, '\0');
}

const std::string kTestKey = "Software\\UpdateUnitTests\\Game";

class GameRegistry : public testing::TestWithParam<RegistryCase> {
 protected:
  void SetUp() override { seed_delete_key("Software\\UpdateUnitTests"); }
  void TearDown() override { seed_delete_key("Software\\UpdateUnitTests"); }
};

TEST_P(GameRegistry, ReadsGamePath) {
  for (const Value& v : GetParam().values)
    seed_value(kTestKey, v.name, v.type, v.data);
  char destination[1024];
  memset(destination, 'Z', sizeof destination);
  read_game_registry(kTestKey.c_str(), destination);
  EXPECT_EQ(std::string(destination), GetParam().expected);
}

const std::string k255 = "D:\\" + std::string(252, 'g');

const RegistryCase kRegistryCases[] = {
    {"plain", {{"GAMEPATH", REG_SZ, sz("D:\\Games\\Foo")}}, "D:\\Games\\Foo"},
    {"trailing_backslash_kept", {{"GAMEPATH", REG_SZ, sz("D:\\Games\\Foo\\")}}, "D:\\Games\\Foo\\"},
    {"trailing_blanks_kept", {{"GAMEPATH", REG_SZ, sz("D:\\Foo  ")}}, "D:\\Foo  "},
    {"japanese_folder", {{"GAMEPATH", REG_SZ, sz("D:\\ゲーム\\表")}}, "D:\\ゲーム\\表"},
    {"lower_case_name_only", {{"gamepath", REG_SZ, sz("D:\\Foo")}}, ""},
    {"longer_name_only", {{"GAMEPATH2", REG_SZ, sz("D:\\Foo")}}, ""},
    {"other_values_ignored",
     {{"CDPATH", REG_SZ, sz("E:\\")},
      {"INSTFLAG", REG_DWORD, std::string("\1\0\0\0", 4)},
      {"GAMEPATH", REG_SZ, sz("D:\\Foo")},
      {"VISTA_Admini_Run", REG_SZ, sz("1")}},
     "D:\\Foo"},
    {"255_bytes_taken_whole", {{"GAMEPATH", REG_SZ, sz(k255)}}, k255},
    {"256_bytes_end_the_search", {{"GAMEPATH", REG_SZ, sz(k255 + "x")}}, ""},
    {"big_value_before_hides_it",
     {{"ABIG", REG_SZ, sz(std::string(300, 'b'))}, {"GAMEPATH", REG_SZ, sz("D:\\Foo")}},
     ""},
    {"big_value_after_is_harmless",
     {{"GAMEPATH", REG_SZ, sz("D:\\Foo")}, {"ZBIG", REG_SZ, sz(std::string(300, 'b'))}},
     "D:\\Foo"},
    {"long_name_before_hides_it",
     {{std::string(300, 'A'), REG_SZ, sz("x")}, {"GAMEPATH", REG_SZ, sz("D:\\Foo")}},
     ""},
    {"expandable_taken_literally",
     {{"GAMEPATH", REG_EXPAND_SZ, sz("%WINDIR%\\Game")}},
     "%WINDIR%\\Game"},
    {"multi_string_gives_the_first",
     {{"GAMEPATH", REG_MULTI_SZ, sz(sz("D:\\A") + sz("D:\\B"))}},
     "D:\\A"},
    {"binary_without_nul_taken_as_bytes", {{"GAMEPATH", REG_BINARY, "D:\\Bin"}}, "D:\\Bin"},
    {"binary_of_256_bytes_without_nul",
     {{"GAMEPATH", REG_BINARY, std::string(256, 'b')}},
     std::string(256, 'b')},
    {"empty_string", {{"GAMEPATH", REG_SZ, sz("")}}, ""},
    {"data_starting_with_nul", {{"GAMEPATH", REG_BINARY, std::string("\0D:\\x", 5)}}, ""},
};

INSTANTIATE_TEST_SUITE_P(Table, GameRegistry, testing::ValuesIn(kRegistryCases), CaseName());

TEST_F(GameRegistry, MissingKeyIsCreatedEmpty) {
  char destination[1024] = "stale";
  read_game_registry(kTestKey.c_str(), destination);
  EXPECT_STREQ(destination, "");
  EXPECT_TRUE(seed_key_exists(kTestKey));
  EXPECT_EQ(seed_value_count(kTestKey), 0u);
}

}  // namespace
