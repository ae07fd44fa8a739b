// The Linux and Windows halves of system.h.
#include "system.h"

#ifdef _WIN32

#include <windows.h>
#include <shellapi.h>

#include <cwchar>

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

bool cp932_converter_ready() {
  return IsValidCodePage(932) != FALSE;
}

bool append_cp932_char(const char* bytes, size_t len, std::string* out) {
  wchar_t wide[2];
  int wide_len =
      MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, static_cast<int>(len), wide, 2);
  if (wide_len == 0) return false;
  char utf8[8];
  int utf8_len =
      WideCharToMultiByte(CP_UTF8, 0, wide, wide_len, utf8, sizeof utf8, nullptr, nullptr);
  if (utf8_len == 0) return false;
  out->append(utf8, static_cast<size_t>(utf8_len));
  return true;
}

bool append_utf8_char_as_cp932(std::string_view utf8_char, std::string* out) {
  wchar_t wide[2];
  int wide_len = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8_char.data(),
                                     static_cast<int>(utf8_char.size()), wide, 2);
  if (wide_len == 0) return false;
  // Without best-fit mappings Windows puts its default character where it has no exact one, and
  // says so.
  char bytes[4];
  BOOL used_default = FALSE;
  int len = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide, wide_len, bytes, sizeof bytes,
                                nullptr, &used_default);
  if (len == 0 || used_default) return false;
  out->append(bytes, static_cast<size_t>(len));
  return true;
}

unsigned ansi_code_page() {
  return GetACP();
}

unsigned console_to_utf8() {
  DWORD mode;
  if (!GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) &&
      !GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode)) {
    return 0;
  }
  UINT saved = GetConsoleOutputCP();
  SetConsoleOutputCP(CP_UTF8);
  return saved;
}

void console_restore(unsigned saved) {
  SetConsoleOutputCP(saved);
}

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

#include <iconv.h>

namespace {

// Opened once and kept: the tools convert thousands of single characters.
iconv_t decoder() {
  static iconv_t cd = iconv_open("UTF-8", "CP932");
  return cd;
}

iconv_t encoder() {
  static iconv_t cd = iconv_open("CP932", "UTF-8");
  return cd;
}

// One character of at most four bytes through cd; false when it has no form there.
bool convert_one(iconv_t cd, std::string_view in_bytes, std::string* out) {
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  char in_copy[4] = {};
  in_bytes.copy(in_copy, sizeof in_copy);
  char converted[8];
  char* in = in_copy;
  char* to = converted;
  size_t in_left = in_bytes.size();
  size_t out_left = sizeof converted;
  if (iconv(cd, &in, &in_left, &to, &out_left) == static_cast<size_t>(-1) || in_left != 0) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state for the next one
    return false;
  }
  out->append(converted, static_cast<size_t>(to - converted));
  return true;
}

}  // namespace

bool cp932_converter_ready() {
  return decoder() != reinterpret_cast<iconv_t>(-1) && encoder() != reinterpret_cast<iconv_t>(-1);
}

bool append_cp932_char(const char* bytes, size_t len, std::string* out) {
  return convert_one(decoder(), std::string_view(bytes, len), out);
}

bool append_utf8_char_as_cp932(std::string_view utf8_char, std::string* out) {
  return utf8_char.size() <= 4 && convert_one(encoder(), utf8_char, out);
}

// The Linux build converts names itself, as a Japanese Windows would.
unsigned ansi_code_page() {
  return 932;
}

unsigned console_to_utf8() {
  return 0;
}

void console_restore(unsigned) {}

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
