// The Windows half of fixes.h: Notepad and cmd, which most publishers on Windows have at hand.
#include "fixes.h"

namespace {

// Notepad's "ANSI" is the system's code page: Shift JIS (932) only on a Windows whose language
// for non-Unicode programs is Japanese. Notepad keeps CR LF line ends.
const Fixes kFixes = {
    "Remove them: open update.ini in Notepad, choose File > Save As, and save it with the "
    "encoding \"ANSI\" on a Windows whose language for non-Unicode programs is Japanese (or let "
    "update-make write it)",
    "Save it as Shift JIS: open it in Notepad, choose File > Save As, and save it with the "
    "encoding \"ANSI\" on a Windows whose language for non-Unicode programs is Japanese (the "
    "other encodings are not code page 932), or let update-make write it",
};

}  // namespace

const Fixes& system_fixes() {
  return kFixes;
}

// cmd takes double quotes, and a path can't hold one. /s goes into every folder below.
std::string clear_read_only_command(const std::string& folder) {
  std::string path = folder;
  while (path.size() > 1 && (path.back() == '\\' || path.back() == '/'))
    path.pop_back();
  return "attrib -r \"" + path + "\\*\" /s";
}
