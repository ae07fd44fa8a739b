// The code page stop: the one message this program shows through the wide interface.
#include "code_page_stop.h"

#include <cwchar>
#include <iterator>

#include "platform/win32.h"

namespace {

constexpr UINT kJapaneseCodePage = 932;

// Held in code page 932 like every other text, and converted from it explicitly: the ANSI
// functions would read these bytes in the very code page that is wrong here.
const char kJapaneseCaption[] = "ＵＰＤＡＴＥの失敗";
const char kJapaneseText[] =
    "このUPDATEは、日本語の文字コード（シフトJIS）で動くWindowsでしか正しく動きません。\n"
    "Windows 11 でお使いいただくか、コントロール パネルの［地域］→［管理］→［システム "
    "ロケールの変更］で「Unicode 対応ではないプログラムの言語」を「日本語 (日本)」にし、"
    "「ベータ: ワールドワイド言語サポートで Unicode UTF-8 を使用」をオフにしてから、"
    "もう一度実行してください。\n"
    "ファイルはコピーしていません。";

// ASCII, so right on any system even when the conversion fails.
const WCHAR kEnglishCaption[] = L"Update failed";
const WCHAR kEnglishText[] =
    L"This update needs Windows 11, or Japanese as the language for non-Unicode programs "
    L"(Control Panel > Region > Administrative > \"Language for non-Unicode programs\" > Change "
    L"system locale: Japanese (Japan)) with \"Beta: Use Unicode UTF-8 for worldwide language "
    L"support\" turned off. Then run it again.\n"
    L"Nothing was copied.";

// The Japanese text, the seam and the English text; the English text alone when the Japanese
// one can't be converted. A code page 932 text has at least as many bytes as UTF-16 units.
template <size_t N>
void compose(WCHAR (&out)[N], const char* japanese, const WCHAR* seam, const WCHAR* english) {
  if (MultiByteToWideChar(kJapaneseCodePage, MB_ERR_INVALID_CHARS, japanese, -1, out,
                          static_cast<int>(N)) == 0) {
    out[0] = L'\0';
  } else {
    wcsncat(out, seam, N - wcslen(out) - 1);
  }
  wcsncat(out, english, N - wcslen(out) - 1);
}

}  // namespace

bool stop_unless_code_page_932() {
  if (GetACP() == kJapaneseCodePage) return false;
  WCHAR caption[64];
  WCHAR text[1024];
  static_assert(sizeof kJapaneseCaption + 3 + std::size(kEnglishCaption) <= std::size(caption),
                "stop caption buffer");
  static_assert(sizeof kJapaneseText + 2 + std::size(kEnglishText) <= std::size(text),
                "stop text buffer");
  compose(caption, kJapaneseCaption, L" / ", kEnglishCaption);
  compose(text, kJapaneseText, L"\n\n", kEnglishText);
  MessageBoxW(nullptr, text, caption, MB_OK);
  return true;
}
