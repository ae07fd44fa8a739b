// The console the tools write to. A Windows console shows text in its own code page, so the tools
// hand it wide characters; a terminal, a pipe or a file takes the UTF-8 bytes as they are.
#pragma once

#include <cstdio>
#include <string_view>

// Writes UTF-8 text to stdout or stderr: through the console's wide interface on a Windows
// console, as bytes elsewhere. False when it could not be written whole.
bool write_text(FILE* stream, std::string_view utf8);
// True when stream shows on a console or a terminal that someone reads, not a pipe or a file.
bool shows_on_console(FILE* stream);
// The console's width in columns; 0 when it is not known.
unsigned console_columns(FILE* stream);
// True when the console is the program's own, made for it when Explorer started it (a
// double-click, or folders dropped on its icon): it closes as soon as the program ends.
bool console_of_its_own();
// Empties what was typed on the console so far.
void forget_typed_keys();
// Waits until a key is pressed on the console; at once when input is not a console.
void wait_for_key();
