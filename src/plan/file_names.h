// File names from the setup list: whether one stays inside the game folder (the update promises to
// copy files only into the game's folder, so a name that could land anywhere else is refused),
// and the other names Windows refuses or changes, with the one wording of each for the tools.
#pragma once

// False for a name with a ".." component (also ". ." and other runs that Windows trims to ".."),
// a leading backslash or slash, a drive or any ':' (which also names a stream), or a reserved
// device name (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, with or without an extension) as any
// component.
bool is_safe_file_name(const char* name);

// What is wrong with a name from the list, the first that applies.
enum class NameRefusal {
  none,
  outside,    // is_safe_file_name says no: the updater refuses it
  character,  // < > " | ? * or a control character: Windows makes no such file, the copy fails
  changed,    // a level ends in a dot or a blank, which Windows drops: the file lands elsewhere
  disc_file,  // the first level is UPDATE.INI or UPDATE.EXE where the disc's own are
};

struct NameCheck {
  NameRefusal refusal;
  char character;  // the character refused (NameRefusal::character)
};

// beside_disc_files: the name is a data file's and the data folder is the disc's own folder.
NameCheck check_file_name(const char* name, bool beside_disc_files);

// How the publisher's tools word each refusal after the name (UTF-8 English); empty for none.
const char* name_refusal_text(NameRefusal refusal);
