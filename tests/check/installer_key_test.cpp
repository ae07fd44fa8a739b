// The installer's key, typed or read from a file regedit exported in either of its encodings.
#include <gtest/gtest.h>

#include <string>

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

struct RegCase {
  const char* name;
  std::string bytes;  // plain literals are code page 932: the test sources are compiled so
  std::string key;    // UTF-8; empty: refused
};

const RegCase kRegCases[] = {
    {"unicode_export",
     utf16le(u"Windows Registry Editor Version 5.00\r\n\r\n"
             u"[HKEY_CURRENT_USER\\Software\\Maker\\星空の図書館]\r\n"
             u"\"GAMEPATH\"=\"C:\\\\Games\\\\星空\\\\\"\r\n"),
     u8"Software\\Maker\\星空の図書館"},
    {"code_page_932_export_with_a_parent_key",
     "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\ソフト表]\r\n\"Other\"=\"x\"\r\n\r\n"
     "[HKEY_CURRENT_USER\\Software\\ソフト表\\ゲーム]\r\n\"gamepath\"=\"C:\\\\ソ\\\\\"\r\n"s,
     u8"Software\\ソフト表\\ゲーム"},
    {"other_hives_and_deletions_ignored",
     utf16le(u"Windows Registry Editor Version 5.00\r\n[HKEY_LOCAL_MACHINE\\Software\\A]\r\n"
             u"\"GAMEPATH\"=\"x\"\r\n[-HKEY_CURRENT_USER\\Software\\B]\r\n\"GAMEPATH\"=\"x\"\r\n"
             u"[HKEY_CURRENT_USER\\Software\\C]\r\n\"GAMEPATH\"=hex(2):43,00,00,00\r\n"),
     "Software\\C"},
    {"escaped_name_is_not_gamepath",
     "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\A]\r\n\"GAME\\\"PATH\"=\"x\"\r\n"s, ""},
    {"two_keys_with_gamepath",
     "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"GAMEPATH\"=\"x\"\r\n[HKEY_CURRENT_USER\\B]\r\n"
     "\"GAMEPATH\"=\"y\"\r\n"s,
     ""},
    {"not_a_reg_file", "[HKEY_CURRENT_USER\\A]\r\n\"GAMEPATH\"=\"x\"\r\n"s, ""},
    {"utf16_big_endian", "\xFE\xFF\0R"s, ""},
    {"lone_surrogate", utf16le(u"REGEDIT4\r\n[HKEY_CURRENT_USER\\A\xD800]\r\n"), ""},
    {"not_code_page_932", "REGEDIT4\r\n[HKEY_CURRENT_USER\\\x85\x40]\r\n\"GAMEPATH\"=\"x\"\r\n"s,
     ""},
};

class RegFile : public testing::TestWithParam<RegCase> {};

TEST_P(RegFile, GivesTheKeyHoldingGamepath) {
  const RegCase& c = GetParam();
  std::string key;
  std::string error;
  bool ok = installer_key_from_reg(c.bytes, &key, &error);
  EXPECT_EQ(ok, !c.key.empty()) << error;
  EXPECT_EQ(ok ? key : error.empty() ? "no reason" : "", c.key);
}

INSTANTIATE_TEST_SUITE_P(InstallerKey, RegFile, testing::ValuesIn(kRegCases), CaseName());

struct TextCase {
  const char* name;
  const char* text;
  const char* key;  // nullptr: refused
};

const TextCase kTextCases[] = {
    {"full_root", "HKEY_CURRENT_USER\\Software\\Maker\\Game", "Software\\Maker\\Game"},
    {"short_root_any_case", "hkcu\\Software\\Maker", "Software\\Maker"},
    {"no_root", "Software\\Maker", "Software\\Maker"},
    {"trailing_backslash", "Software\\Maker\\", nullptr},
    {"doubled_backslash", "Software\\\\Maker", nullptr},
    {"root_alone", "HKCU\\", nullptr},
    {"no_code_page_932_form", u8"Software\\Caf\u00E9", nullptr},
};

class KeyText : public testing::TestWithParam<TextCase> {};

TEST_P(KeyText, LosesItsRoot) {
  const TextCase& c = GetParam();
  std::string key;
  std::string error;
  bool ok = installer_key_from_text(c.text, &key, &error);
  EXPECT_EQ(ok ? key : "refused", c.key != nullptr ? c.key : "refused") << error;
}

INSTANTIATE_TEST_SUITE_P(InstallerKey, KeyText, testing::ValuesIn(kTextCases), CaseName());

}  // namespace
