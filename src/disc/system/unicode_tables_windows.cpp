// The Windows half of unicode_tables.h: LCMapStringW and NormalizeString.
#include "unicode_tables.h"

#include "wide_text_windows.h"

char32_t upper_case_unit(char32_t unit) {
  if (unit >= 0x10000 || (unit >= 0xD800 && unit <= 0xDFFF)) return unit;
  // The invariant locale's simple mapping, one unit for one, as the file system's table.
  wchar_t in = static_cast<wchar_t>(unit);
  wchar_t out = in;
  if (LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, &in, 1, &out, 1) != 1) return unit;
  return out;
}

std::string compose_name(const std::string& utf8) {
  if (utf8.empty()) return utf8;
  int len = static_cast<int>(utf8.size());
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(static_cast<size_t>(
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), len, wide.data(), len)));
  if (wide.empty()) return utf8;
  // NormalizeString says how much room it wants; composition never needs more than it had.
  std::wstring composed(wide.size(), L'\0');
  int composed_len = NormalizeString(NormalizationC, wide.data(), static_cast<int>(wide.size()),
                                     composed.data(), static_cast<int>(composed.size()));
  if (composed_len <= 0) return utf8;
  composed.resize(static_cast<size_t>(composed_len));
  std::string out = narrow(composed.data(), composed_len, CP_UTF8);
  return out.empty() ? utf8 : out;
}
