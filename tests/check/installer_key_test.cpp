// The installer's key, typed or read from a file regedit exported in either of its encodings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_name.h"
#include "check/installer_key.h"

using namespace std::string_literals;

namespace {

// Regedit's "Unicode" export: a byte order mark, then UTF-16 LE.
std::string utf16le(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

// The problems of what the installer writes, each as its kind and a word of its message.
std::vector<std::string> problems_of(const InstallerKey& key) {
  std::vector<std::string> found;
  for (const Problem& p : installer_key_problems(key, "T"))
    found.push_back(problem_kind_name(p.kind));
  return found;
}

std::string full(const InstallerKey& key) {
  return key.root + "\\" + key.key;
}

using Kinds = std::vector<std::string>;

struct RegCase {
  const char* name;
  std::string bytes;  // plain literals are code page 932: the test sources are compiled so
  std::string key;    // UTF-8, with its root; empty: refused
  Kinds problems;
  std::string words{};  // in the first problem's message
};

const std::string kV5 = "Windows Registry Editor Version 5.00\r\n\r\n";

const RegCase kRegCases[] = {
    {"unicode_export",
     utf16le(u"Windows Registry Editor Version 5.00\r\n\r\n"
             u"[HKEY_CURRENT_USER\\Software\\Maker\\星空の図書館]\r\n"
             u"\"GAMEPATH\"=\"C:\\\\Games\\\\星空\\\\\"\r\n"),
     u8"HKEY_CURRENT_USER\\Software\\Maker\\星空の図書館",
     {}},
    // The registry finds "gamepath" for GAMEPATH; the updater compares the bytes.
    {"code_page_932_export_with_a_parent_key",
     "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\ソフト表]\r\n\"Other\"=\"x\"\r\n\r\n"
     "[HKEY_CURRENT_USER\\Software\\ソフト表\\ゲーム]\r\n\"gamepath\"=\"C:\\\\ソ\\\\\"\r\n"s,
     u8"HKEY_CURRENT_USER\\Software\\ソフト表\\ゲーム",
     {"registry-value"},
     "\"gamepath\""},
    {"other_hives_and_deletions_ignored",
     utf16le(u"Windows Registry Editor Version 5.00\r\n[HKEY_LOCAL_MACHINE\\Software\\A]\r\n"
             u"\"GAMEPATH\"=\"x\"\r\n[-HKEY_CURRENT_USER\\Software\\B]\r\n\"GAMEPATH\"=\"x\"\r\n"
             u"[HKEY_CURRENT_USER\\Software\\C]\r\n\"GAMEPATH\"=hex(2):43,00,00,00\r\n"),
     "HKEY_CURRENT_USER\\Software\\C",
     {}},
    {"only_below_the_local_machine",
     kV5 + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Maker]\r\n\"GAMEPATH\"=\"C:\\\\G\"\r\n",
     "HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Maker",
     {"registry-key"},
     "below HKEY_LOCAL_MACHINE"},
    // Continued over two lines, as regedit writes a long value.
    {"expandable_with_a_variable",
     utf16le(u"Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\Software\\M]\r\n"
             u"\"GAMEPATH\"=hex(2):25,00,50,00,46,00,25,00,\\\r\n  5c,00,47,00,00,00\r\n"),
     "HKEY_CURRENT_USER\\Software\\M",
     {"registry-value"},
     "\"%PF%\\G\", and the updater takes it as it stands"},
    {"expandable_in_code_page_932",
     "REGEDIT4\r\n[HKEY_CURRENT_USER\\M]\r\n\"GAMEPATH\"=hex(2):25,41,25,5c,83,5c,00\r\n"s,
     "HKEY_CURRENT_USER\\M",
     {"registry-value"},
     u8"\"%A%\\ソ\""},
    {"a_number",
     kV5 + "[HKEY_CURRENT_USER\\M]\r\n\"GAMEPATH\"=dword:00000001\r\n",
     "HKEY_CURRENT_USER\\M",
     {"registry-value"},
     "a number (dword)"},
    {"binary",
     kV5 + "[HKEY_CURRENT_USER\\M]\r\n\"GAMEPATH\"=hex:43,3a,00\r\n",
     "HKEY_CURRENT_USER\\M",
     {"registry-value"},
     "binary data"},
    // The updater takes the first string of a multi-string value: the folder, as it stands.
    {"multi_string",
     kV5 + "[HKEY_CURRENT_USER\\M]\r\n\"GAMEPATH\"=hex(7):43,00,00,00,00,00\r\n",
     "HKEY_CURRENT_USER\\M",
     {}},
    {"other_root_and_name_and_type",
     kV5 + "[HKEY_USERS\\S-1-5-21\\Software\\M]\r\n\"GamePath\"=dword:00000000\r\n",
     "HKEY_USERS\\S-1-5-21\\Software\\M",
     {"registry-key", "registry-value", "registry-value"}},
    {"escaped_name_is_not_gamepath",
     "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\A]\r\n\"GAME\\\"PATH\"=\"x\"\r\n"s,
     "",
     {}},
    {"two_keys_with_gamepath",
     "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"GAMEPATH\"=\"x\"\r\n[HKEY_CURRENT_USER\\B]\r\n"
     "\"GAMEPATH\"=\"y\"\r\n"s,
     "",
     {}},
    {"not_a_reg_file", "[HKEY_CURRENT_USER\\A]\r\n\"GAMEPATH\"=\"x\"\r\n"s, "", {}},
    {"utf16_big_endian", "\xFE\xFF\0R"s, "", {}},
    {"lone_surrogate", utf16le(u"REGEDIT4\r\n[HKEY_CURRENT_USER\\A\xD800]\r\n"), "", {}},
    {"not_code_page_932",
     "REGEDIT4\r\n[HKEY_CURRENT_USER\\\x85\x40]\r\n\"GAMEPATH\"=\"x\"\r\n"s,
     "",
     {}},
};

class RegFile : public testing::TestWithParam<RegCase> {};

TEST_P(RegFile, GivesTheKeyHoldingGamepathAndWhatTheUpdaterMakesOfIt) {
  const RegCase& c = GetParam();
  InstallerKey key;
  std::string error;
  bool ok = installer_key_from_reg(c.bytes, &key, &error);
  EXPECT_EQ(ok ? full(key) : error.empty() ? "no reason" : "", c.key) << error;
  if (!ok) return;
  EXPECT_EQ(problems_of(key), c.problems);
  std::vector<Problem> problems = installer_key_problems(key, "T");
  if (!problems.empty()) {
    EXPECT_NE(problems[0].message.find(c.words), std::string::npos) << problems[0].message;
    EXPECT_NE(problems[0].message.find(u8"player"), std::string::npos) << problems[0].message;
  }
}

INSTANTIATE_TEST_SUITE_P(InstallerKey, RegFile, testing::ValuesIn(kRegCases), CaseName());

struct TextCase {
  const char* name;
  const char* text;
  const char* key;  // with its root; nullptr: refused
  Kinds problems;
};

const TextCase kTextCases[] = {
    {"full_root",
     "HKEY_CURRENT_USER\\Software\\Maker\\Game",
     "HKEY_CURRENT_USER\\Software\\Maker\\Game",
     {}},
    {"short_root_any_case", "hkcu\\Software\\Maker", "HKEY_CURRENT_USER\\Software\\Maker", {}},
    {"no_root", "Software\\Maker", "HKEY_CURRENT_USER\\Software\\Maker", {}},
    // Read once as a key below HKEY_CURRENT_USER named "HKLM\Software\Maker".
    {"local_machine",
     "HKLM\\Software\\Maker",
     "HKEY_LOCAL_MACHINE\\Software\\Maker",
     {"registry-key"}},
    {"classes_root_in_full", "hkey_classes_root\\X", "HKEY_CLASSES_ROOT\\X", {"registry-key"}},
    {"trailing_backslash", "Software\\Maker\\", nullptr, {}},
    {"doubled_backslash", "Software\\\\Maker", nullptr, {}},
    {"root_alone", "HKCU\\", nullptr, {}},
    {"other_root_alone", "HKLM\\", nullptr, {}},
    {"no_code_page_932_form", u8"Software\\Caf\u00E9", nullptr, {}},
    // Typed into cmd with single quotes, which it keeps.
    {"single_quotes", "'HKEY_CURRENT_USER\\Software\\Maker'", nullptr, {}},
    {"one_quote_in_a_name", "Software\\Maker's", "HKEY_CURRENT_USER\\Software\\Maker's", {}},
};

class KeyText : public testing::TestWithParam<TextCase> {};

TEST_P(KeyText, KeepsItsRoot) {
  const TextCase& c = GetParam();
  InstallerKey key;
  std::string error;
  bool ok = installer_key_from_text(c.text, &key, &error);
  EXPECT_EQ(ok ? full(key) : "refused", c.key != nullptr ? c.key : "refused") << error;
  if (ok) {
    EXPECT_EQ(problems_of(key), c.problems);
  }
}

INSTANTIATE_TEST_SUITE_P(InstallerKey, KeyText, testing::ValuesIn(kTextCases), CaseName());

}  // namespace
