// The mends the tools' messages suggest, as a publisher on this system makes them: Notepad and
// attrib on Windows, sed, iconv and chmod on Linux. One table for each system; the messages
// never ask which they run on.
#pragma once

#include <string>

struct Fixes {
  // Ends "… (bytes EF BB BF). ": how to save update.ini without its byte order mark.
  const char* drop_byte_order_mark;
  // Ends "… garbled. ": how to save a UTF-8 update.ini as code page 932 with CR LF line ends.
  const char* save_as_cp932;
};

const Fixes& system_fixes();

// The command that clears the read-only flag of every file below folder (a path as the tools hold
// it, UTF-8), as it is typed on this system.
std::string clear_read_only_command(const std::string& folder);
