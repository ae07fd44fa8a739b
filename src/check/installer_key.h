// Where the game's installer writes the game's folder: the key as the publisher types it, or the
// key and the value as a .reg file regedit exported holds them. All text is UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "disc/report.h"

struct InstallerKey {
  std::string root = "HKEY_CURRENT_USER";  // the root the key lies below, in full
  std::string key;                         // below the root, as given ("Software\Maker\Game")
  // From a .reg file only; a typed key says nothing of the value.
  std::string value_name;  // as the file spells it ("GAMEPATH", "GamePath"); empty: not known
  std::string value_type;  // empty for a string; else as regedit writes it ("hex(2)", "dword")
  std::string value_text;  // an expandable string's text (hex(2)), as the updater reads it
};

// "HKEY_CURRENT_USER\Software\Maker\Game", "HKCU\Software\Maker\Game" or "Software\Maker\Game";
// the other roots (HKLM, HKEY_LOCAL_MACHINE, HKU, HKCR, HKCC) are kept in root. False, with the
// reason in *error, for an empty key or an empty part (a doubled, leading or trailing
// backslash), which the registry functions refuse, and for a key with no exact code page 932
// form, which the updater can't open.
bool installer_key_from_text(std::string_view text, InstallerKey* key, std::string* error);

// The key that holds a value GAMEPATH (in any letter case, as the registry matches value names)
// in the bytes of a .reg file: "Windows Registry Editor Version 5.00" in UTF-16 LE with its byte
// order mark, or "REGEDIT4" in code page 932. A key below HKEY_CURRENT_USER is taken first; one
// below another root only when there is none. False, with the reason in *error, when there is no
// such key or more than one.
bool installer_key_from_reg(std::string_view bytes, InstallerKey* key, std::string* error);

// Why the updater, which reads the value GAMEPATH (exactly so) as it stands from its key below
// HKEY_CURRENT_USER, can't read what the installer writes, whatever the list says, each naming
// what players get: title_old is the list's TITLE_OLD, empty when there is no list.
std::vector<Problem> installer_key_problems(const InstallerKey& key, const std::string& title_old);

// Those problems, and one when the list's key is not the installer's key, as the registry
// compares key names: without regard to case. The updater would then find no GAMEPATH on any
// player's machine.
void check_installer_key(const InstallerKey& key, CheckReport* report);
