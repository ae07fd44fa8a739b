// The Windows half of code_page.h: the code page functions.
#include "code_page.h"

#include "wide_text_windows.h"

bool cp932_converter_ready() {
  return IsValidCodePage(932) != FALSE;
}

bool append_cp932_char(const char* bytes, size_t len, std::string* out) {
  wchar_t wide[2];
  int wide_len =
      MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, static_cast<int>(len), wide, 2);
  if (wide_len == 0) return false;
  // Decoding only shows a name: the NEC and IBM rows' twin codes both read as their character.
  std::string utf8 = narrow(wide, wide_len, CP_UTF8);
  if (utf8.empty()) return false;
  *out += utf8;
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
