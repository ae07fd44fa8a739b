// The Windows half of command_line.h: the wide command line and the module's path.
#include "command_line.h"

#include "wide_text_windows.h"

#include <shellapi.h>  // after <windows.h>, which it needs

std::vector<std::string> command_line_utf8(int, char**) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 0; wide != nullptr && i < count; ++i)
    args.push_back(narrow_utf8(wide[i]));
  LocalFree(wide);
  return args;
}

std::filesystem::path program_folder() {
  std::wstring path(32768, L'\0');
  DWORD len = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(len);
  return std::filesystem::path(path).parent_path();
}
