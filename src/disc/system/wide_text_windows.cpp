// UTF-8 and UTF-16 both ways for the Windows halves; see wide_text_windows.h.
#include "wide_text_windows.h"

#include <cwchar>

std::string narrow(const wchar_t* wide, int len, UINT code_page) {
  if (len == 0) return "";
  bool utf8 = code_page == CP_UTF8;
  DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL lossy = FALSE;
  BOOL* lossy_out = utf8 ? nullptr : &lossy;  // CP_UTF8 takes no such flag
  int size = WideCharToMultiByte(code_page, flags, wide, len, nullptr, 0, nullptr, lossy_out);
  // cppcheck-suppress knownConditionTrueFalse ; set through lossy_out by the call above
  if (size <= 0 || lossy) return "";
  std::string out(static_cast<size_t>(size), '\0');
  int written =
      WideCharToMultiByte(code_page, flags, wide, len, out.data(), size, nullptr, lossy_out);
  // cppcheck-suppress knownConditionTrueFalse ; set through lossy_out by the call
  if (written != size || lossy) return "";
  std::wstring back(static_cast<size_t>(len) + 1, L'\0');
  int back_len = MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, out.data(), size, back.data(),
                                     static_cast<int>(back.size()));
  if (back_len != len ||
      back.compare(0, static_cast<size_t>(len), wide, static_cast<size_t>(len)) != 0) {
    return "";
  }
  return out;
}

std::string narrow_utf8(const wchar_t* wide) {
  return narrow(wide, static_cast<int>(wcslen(wide)), CP_UTF8);
}

std::wstring widen(const std::string& utf8) {
  int len = static_cast<int>(utf8.size());
  if (len == 0) return L"";
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(
      static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), len, wide.data(), len)));
  return wide;
}
