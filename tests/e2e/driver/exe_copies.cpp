// Copies of update.exe that behave as it would on another system.
#include "exe_copies.h"

#include <windows.h>

#include "dialog_template.h"
#include "environment.h"
#include "files.h"

namespace e2e {

namespace {

constexpr WORD kJapanese = 1041;  // the language of update.exe's resources, its manifest's too

// The text without its one element named tag; fails the test when the element is not there.
std::string without_element(const std::string& text, const std::string& tag) {
  size_t start = text.find("<" + tag);
  std::string end_tag = "</" + tag + ">";
  size_t end = text.find(end_tag, start);
  if (start == std::string::npos || end == std::string::npos) fail("no " + tag + " element");
  return text.substr(0, start) + text.substr(end + end_tag.size());
}

}  // namespace

void copy_without_active_code_page(const std::string& exe, const std::string& copy) {
  std::string manifest =
      ResourceFile(exe).bytes(MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1), kJapanese);
  manifest = without_element(manifest, "activeCodePage");
  if (!CopyFileA(exe.c_str(), copy.c_str(), FALSE)) fail("cannot copy " + exe);
  HANDLE update = BeginUpdateResourceA(copy.c_str(), FALSE);
  if (update == nullptr) fail("cannot open the resources of " + copy);
  BOOL ok = UpdateResourceA(update, MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1), kJapanese,
                            manifest.data(), static_cast<DWORD>(manifest.size()));
  if (!EndUpdateResourceA(update, !ok) || !ok) fail("cannot rewrite the manifest of " + copy);
}

void copy_without_dll_restriction(const std::string& exe, const std::string& copy) {
  std::string bytes = read_file(exe);
  const std::string name("SetDefaultDllDirectories\0", 25);
  size_t at = bytes.find(name);
  if (at == std::string::npos || bytes.find(name, at + 1) != std::string::npos) {
    fail(exe + " does not name SetDefaultDllDirectories exactly once");
  }
  bytes[at + name.size() - 2] = 'X';
  write_file(copy, bytes);
}

}  // namespace e2e
