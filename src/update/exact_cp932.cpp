// A wide text in code page 932, exactly or not at all; see exact_cp932.h.
#include "exact_cp932.h"

#include <cwchar>
#include <iterator>

namespace {

constexpr UINT kJapaneseCodePage = 932;

}  // namespace

// Without WC_NO_BEST_FIT_CHARS Windows answers é with e and reports nothing; with it, the default
// character comes back and is reported. Some characters still convert one way only: the text is
// read back and must be the same.
bool exact_cp932(const WCHAR* wide, char* out, size_t size) {
  WCHAR back[1024];
  BOOL defaulted = FALSE;
  // cppcheck-suppress ctuArrayIndex ; a caller's array sized by a Windows header it can't read
  return wide[0] != L'\0' &&
         WideCharToMultiByte(kJapaneseCodePage, WC_NO_BEST_FIT_CHARS, wide, -1, out,
                             static_cast<int>(size), nullptr, &defaulted) != 0 &&
         !defaulted &&
         MultiByteToWideChar(kJapaneseCodePage, MB_ERR_INVALID_CHARS, out, -1, back,
                             static_cast<int>(std::size(back))) != 0 &&
         wcscmp(back, wide) == 0;
}
