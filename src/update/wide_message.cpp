// The stops shown through the wide interface; see wide_message.h.
#include "wide_message.h"

#include <cwchar>
#include <iterator>

namespace {

constexpr UINT kJapaneseCodePage = 932;

}  // namespace

void append_wide(WCHAR* out, size_t size, const WCHAR* text) {
  size_t used = wcslen(out);
  if (used + 1 < size) wcsncat(out, text, size - used - 1);
}

bool append_cp932_as_wide(WCHAR* out, size_t size, const char* text) {
  size_t used = wcslen(out);
  if (used + 1 >= size) return false;
  if (MultiByteToWideChar(kJapaneseCodePage, MB_ERR_INVALID_CHARS, text, -1, out + used,
                          static_cast<int>(size - used)) != 0) {
    return true;
  }
  out[used] = L'\0';  // a conversion that ran out of room may have written part of the text
  return false;
}

void show_wide_stop(const WCHAR* text) {
  WCHAR caption[64] = L"";
  if (append_cp932_as_wide(caption, std::size(caption), "ＵＰＤＡＴＥの失敗")) {
    append_wide(caption, std::size(caption), L" / ");
  }
  append_wide(caption, std::size(caption), L"Update failed");  // ASCII: right on any system
  MessageBoxW(nullptr, text, caption, MB_OK);
}
