// GAMEPATH as the registry holds it, and what the UPDATE dialog's folder box shows of it: the
// value is taken as stored, whatever its type, as long as it fits the read buffers.
#include <gtest/gtest.h>

#include "cases/common.h"

namespace e2e {
namespace {

constexpr char kNotInstalled[] = "";  // expected folder box: no dialog, the not-installed message

struct ValueCase {
  const char* name;
  std::vector<RegValue> values;  // set in this order
  std::string folder_box;        // kNotInstalled: the run ends with the not-installed message
};

// Runs update.exe on a medium without a setup list and checks the outcome of one case. Cancel
// ends a run that shows the dialog: no message, exit code 1.
void expect_outcome(const ValueCase& c) {
  SCOPED_TRACE(c.name);
  delete_key(kDefaultKey);
  set_values(kDefaultKey, c.values);
  Medium medium = fresh_medium("value-case");

  UpdateRun run(medium.root);
  if (c.folder_box.empty()) {
    expect_final_message(run, kUpdateFailed, not_installed("Titleだよ"));
    return;
  }
  HWND dialog = run.expect(Screen::update_dialog);
  EXPECT_BYTES(control_text(dialog, kFolderBox), c.folder_box);
  press(dialog, IDCANCEL);
  EXPECT_EQ(run.wait_exit(), 1u);
}

RegValue raw_value(const std::string& name, DWORD type, const std::string& bytes) {
  return RegValue{name, type, bytes};
}

const std::string k255 = "C:\\" + std::string(252, 'a');

const ValueCase kGamePathCases[] = {
    {"trailing backslash", {string_value("GAMEPATH", "C:\\Games\\Foo\\")}, "C:\\Games\\Foo\\"},
    {"trailing blanks", {string_value("GAMEPATH", "C:\\Games\\Foo  ")}, "C:\\Games\\Foo  "},
    {"0x5C second bytes",
     {string_value("GAMEPATH", "C:\\ゲーム\\表ソフト\\")},
     "C:\\ゲーム\\表ソフト\\"},
    {"255 bytes and the terminator", {string_value("GAMEPATH", k255)}, k255},
    {"256 bytes and the terminator", {string_value("GAMEPATH", k255 + "b")}, kNotInstalled},
    {"empty", {string_value("GAMEPATH", "")}, kNotInstalled},
    {"lower-case name only", {string_value("gamepath", "C:\\Games\\Foo")}, kNotInstalled},
    {"REG_EXPAND_SZ stays unexpanded",
     {string_value("GAMEPATH", "%WINDIR%\\Game", REG_EXPAND_SZ)},
     "%WINDIR%\\Game"},
    {"REG_MULTI_SZ gives its first string",
     {raw_value("GAMEPATH", REG_MULTI_SZ, bytes_of("C:\\First\0C:\\Second\0\0"))},
     "C:\\First"},
    {"REG_BINARY is read as text up to its zero byte",
     {raw_value("GAMEPATH", REG_BINARY, bytes_of("C:\\Bin\0junk"))},
     "C:\\Bin"},
};

TEST(GamePath, FolderBoxShowsTheValueAsStored) {
  for (const ValueCase& c : kGamePathCases)
    expect_outcome(c);
}

const std::string k300(300, 'x');

// Other values share the key. One whose data doesn't fit the read buffer ends the enumeration,
// so it hides GAMEPATH only when it comes first. Wine enumerates values sorted by name, Windows
// in the order they were set: these names and this order agree under both.
const ValueCase kOtherValueCases[] = {
    {"a long value before GAMEPATH",
     {string_value("CDPATH", k300), string_value("GAMEPATH", "C:\\Game")},
     kNotInstalled},
    {"a long value after GAMEPATH",
     {string_value("GAMEPATH", "C:\\Game"), string_value("VISTA_Admini_Run", k300)},
     "C:\\Game"},
    {"small values of every kind around it",
     {string_value("CDPATH", "D:\\"), string_value("GAMEPATH", "C:\\Game"),
      raw_value("INSTFLAG", REG_DWORD, bytes_of("\1\0\0\0")),
      raw_value("INSTTYPE", REG_BINARY, "\x01\x02"), string_value("VISTA_Admini_Run", "0")},
     "C:\\Game"},
};

std::vector<std::string> names_of(const std::vector<RegValue>& values) {
  std::vector<std::string> names;
  names.reserve(values.size());
  for (const RegValue& value : values)
    names.push_back(value.name);
  return names;
}

TEST(GamePath, OtherValuesInTheKey) {
  for (const ValueCase& c : kOtherValueCases) {
    // The cases mean something only if the registry enumerates in the order they were set.
    delete_key(kDefaultKey);
    set_values(kDefaultKey, c.values);
    ASSERT_EQ(value_names(kDefaultKey), names_of(c.values)) << c.name;
    expect_outcome(c);
  }
}

}  // namespace
}  // namespace e2e
