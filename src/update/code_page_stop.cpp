// The code page stop, shown through the wide interface: the process reads ANSI text in another
// code page here.
#include "code_page_stop.h"

#include <iterator>

#include "platform/win32.h"
#include "wide_message.h"

namespace {

constexpr UINT kJapaneseCodePage = 932;

// Held in code page 932 like every other text, and converted from it explicitly: the ANSI
// functions would read these bytes in the very code page that is wrong here.
const char kJapaneseText[] =
    "このUPDATEは、日本語の文字コード（シフトJIS）で動くWindowsでしか正しく動きません。\n"
    "Windows 11 でお使いいただくか、コントロール パネルの［地域］→［管理］→［システム "
    "ロケールの変更］で「Unicode 対応ではないプログラムの言語」を「日本語 (日本)」にし、"
    "「ベータ: ワールドワイド言語サポートで Unicode UTF-8 を使用」をオフにしてから、"
    "もう一度実行してください。\n"
    "ファイルはコピーしていません。";

// ASCII, so right on any system even when the conversion fails.
const WCHAR kEnglishText[] =
    L"This update needs Windows 11, or Japanese as the language for non-Unicode programs "
    L"(Control Panel > Region > Administrative > \"Language for non-Unicode programs\" > Change "
    L"system locale: Japanese (Japan)) with \"Beta: Use Unicode UTF-8 for worldwide language "
    L"support\" turned off. Then run it again.\n"
    L"Nothing was copied.";

}  // namespace

// The Japanese text, a blank line and the English text; the English text alone when the Japanese
// one can't be converted. A code page 932 text has at least as many bytes as UTF-16 units.
bool stop_unless_code_page_932() {
  if (GetACP() == kJapaneseCodePage) return false;
  WCHAR text[1024] = L"";
  static_assert(sizeof kJapaneseText + 2 + std::size(kEnglishText) <= std::size(text),
                "stop text buffer");
  if (append_cp932_as_wide(text, std::size(text), kJapaneseText)) {
    append_wide(text, std::size(text), L"\n\n");
  }
  append_wide(text, std::size(text), kEnglishText);
  show_wide_stop(text);
  return true;
}
