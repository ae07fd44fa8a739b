// Runs that end before any dialog because the registry names no game folder: which title the
// message names, and which key the run reads (and leaves behind, empty).
#include <gtest/gtest.h>

#include "cases/common.h"

namespace e2e {
namespace {

// No setup list and no key: the built-in title and key. Reading the key creates it, empty, and
// it stays after the run.
TEST(NotInstalled, WithoutSetupListUsesBuiltInTitleAndKey) {
  Medium medium = fresh_medium("no-list");
  ASSERT_EQ(key_state(kDefaultKey), KeyState::missing);

  UpdateRun run(medium.root);
  HWND box = run.expect(Screen::message_box);
  EXPECT_BYTES(window_text(box), kUpdateFailed);
  EXPECT_BYTES(control_text(box, kMessageBoxTextId), not_installed("Titleだよ"));
  EXPECT_EQ(key_state(kDefaultKey), KeyState::empty) << "while the message is on screen";
  run.dismiss(box);

  EXPECT_EQ(run.wait_exit(), 1u);
  EXPECT_EQ(key_state(kDefaultKey), KeyState::empty);
  // The C runtime's text mode turns the line's LF into CR LF.
  EXPECT_BYTES(run.standard_output(), "SETUP.LST が開けませんでした。\r\n");
}

struct KeyCase {
  const char* name;
  std::string list;
  std::string message;              // the not-installed text
  std::string created_key;          // empty: no key is created
  std::vector<std::string> absent;  // keys that must not exist afterwards
};

// The setup list names the game and its key. GAMEPATH under the built-in key must not be read
// when the list names another one.
const KeyCase kKeyCases[] = {
    {"all parts and both titles, with 0x5C second bytes",
     list_of({"#TITLE 新しい表紙", "#TITLE_OLD 旧作ソフト", "#REG_P Software", "#REG_S 表ソフト",
              "#REG_T ゲーム能力"}),
     not_installed("旧作ソフト"),
     "Software\\表ソフト\\ゲーム能力",
     {}},
    {"only REG_S",
     list_of({"#REG_S MAKER2"}),
     not_installed("Titleだよ"),
     "Software\\MAKER2\\GAME",
     {}},
    // "\TALLOWMERE\GAME": the registry refuses a key path that begins with a backslash
    // (ERROR_BAD_PATHNAME), so nothing is read and nothing is created.
    {"empty REG_P",
     list_of({"#TITLE_OLD 旧作", "#REG_P"}),
     not_installed("旧作"),
     "",
     {"TALLOWMERE"}},
};

TEST(NotInstalled, SetupListNamesTitleAndKey) {
  for (const KeyCase& c : kKeyCases) {
    SCOPED_TRACE(c.name);
    Medium medium = fresh_medium("key-case");
    medium.write_list(c.list);
    register_game(kDefaultKey, "C:\\");
    if (!c.created_key.empty()) delete_key(c.created_key);

    UpdateRun run(medium.root);
    expect_final_message(run, kUpdateFailed, c.message);

    if (!c.created_key.empty()) {
      EXPECT_EQ(key_state(c.created_key), KeyState::empty);
    }
    for (const std::string& key : c.absent)
      EXPECT_EQ(key_state(key), KeyState::missing) << key;
  }
}

}  // namespace
}  // namespace e2e
