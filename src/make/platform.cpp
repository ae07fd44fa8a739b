// The platform side of update-make; see platform.h.
#include "platform.h"

#ifdef _WIN32

#include <shellapi.h>

#include <cstdio>

namespace {

std::string narrow(const wchar_t* wide, int len, UINT code_page) {
  if (len == 0) return "";
  BOOL lossy = FALSE;
  BOOL* lossy_out = code_page == CP_UTF8 ? nullptr : &lossy;  // CP_UTF8 takes no such flag
  int size = WideCharToMultiByte(code_page, 0, wide, len, nullptr, 0, nullptr, lossy_out);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(code_page, 0, wide, len, out.data(), size, nullptr, lossy_out);
  return size == 0 || lossy ? std::string() : out;
}

}  // namespace

std::vector<std::string> command_line_utf8(int, char**) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 0; wide != nullptr && i < count; ++i)
    args.push_back(narrow(wide[i], static_cast<int>(wcslen(wide[i])), CP_UTF8));
  LocalFree(wide);
  return args;
}

std::filesystem::path program_folder() {
  std::wstring path(32768, L'\0');
  DWORD len = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(len);
  return std::filesystem::path(path).parent_path();
}

std::string platform_path(const std::filesystem::path& path) {
  const std::wstring& wide = path.native();
  return narrow(wide.c_str(), static_cast<int>(wide.size()), CP_ACP);
}

#else

std::vector<std::string> command_line_utf8(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

std::filesystem::path program_folder() {
  std::error_code ec;
  return std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
}

std::string platform_path(const std::filesystem::path& path) {
  return path.string();
}

#endif
