// File names from the setup list: whether one stays inside the game folder (the update promises to
// copy files only into the game's folder, so a name that could land anywhere else is refused).
#pragma once

// False for a name with a ".." component (also ". ." and other runs that Windows trims to ".."),
// a leading backslash or slash, a drive or any ':' (which also names a stream), or a reserved
// device name (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, with or without an extension) as any
// component.
bool is_safe_file_name(const char* name);
