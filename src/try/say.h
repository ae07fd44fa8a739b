// What update-try prints: UTF-8 text, shown through the console's wide interface when the output
// is a console (a console shows code page 932 or UTF-8 bytes only as its code page says, and
// Wine's console garbled UTF-8 even after SetConsoleOutputCP), written as UTF-8 bytes when it is
// redirected to a file or a pipe.
#pragma once

#include <string>

// On standard output, at once.
void say(const std::string& utf8);
// "update-try: text" on standard error.
void say_error(const std::string& utf8);
