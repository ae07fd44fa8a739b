// The Linux half of fixes.h: shell commands.
#include "fixes.h"

namespace {

const Fixes kFixes = {
    "Remove them: sed -i '1s/^\\xEF\\xBB\\xBF//' update.ini",
    "Save it as Shift JIS with CR LF line ends: "
    "sed '1s/^\\xEF\\xBB\\xBF//; s/\\r*$/\\r/' update.ini | iconv -f UTF-8 -t CP932 > "
    "update-sjis.ini (CP932: SHIFT_JIS fails on characters such as \xEF\xBD\x9E), or let "
    "update-make write it",
};

}  // namespace

const Fixes& system_fixes() {
  return kFixes;
}

// Single quotes keep every character but the quote itself, which is closed, escaped and reopened.
std::string clear_read_only_command(const std::string& folder) {
  std::string quoted = "'";
  for (char c : folder)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return "chmod -R u+w " + quoted + "'";
}
