// The key a game's installer writes GAMEPATH under, below HKEY_CURRENT_USER: as the publisher
// types it, or read from a .reg file regedit exported. All text is UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "disc/report.h"

// "HKEY_CURRENT_USER\Software\Maker\Game", "HKCU\Software\Maker\Game" or "Software\Maker\Game"
// give "Software\Maker\Game". False, with the reason in *error, for an empty key or an empty part
// (a doubled, leading or trailing backslash), which the registry functions refuse, and for a key
// with no exact code page 932 form, which the updater can't open.
bool installer_key_from_text(std::string_view text, std::string* key, std::string* error);

// The key under HKEY_CURRENT_USER that holds a value GAMEPATH in the bytes of a .reg file:
// "Windows Registry Editor Version 5.00" in UTF-16 LE with its byte order mark, or "REGEDIT4" in
// code page 932. False, with the reason in *error, when there is no such key or more than one.
bool installer_key_from_reg(std::string_view bytes, std::string* key, std::string* error);

// A problem when the list's key is not the installer's key, as the registry compares key names:
// without regard to case. The updater would then find no GAMEPATH on any player's machine.
void check_installer_key(const std::string& key, CheckReport* report);
