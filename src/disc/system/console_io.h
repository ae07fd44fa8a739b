// The console the tools write to: a console shows UTF-8 only when told to; a pipe or a file takes
// the bytes as they are.
#pragma once

// Makes a console show UTF-8. Returns what console_restore needs, 0 when nothing was changed.
unsigned console_to_utf8();
void console_restore(unsigned saved);
