// The stop of a run from a folder whose path code page 932 cannot hold; see folder_name_stop.h.
#include "folder_name_stop.h"

#include <iterator>

#include "exact_cp932.h"
#include "platform/win32.h"
#include "wide_message.h"

namespace {

const char kJapaneseReason[] =
    "このUPDATEのフォルダのパスに、日本語と半角英数字・記号以外の文字が含まれているため、"
    "UPDATEを実行できません。";
const char kJapaneseAdvice[] =
    "パスが日本語と半角英数字・記号だけになる場所（たとえば C:\\UPDATE）にUPDATEのフォルダを"
    "中身ごと移してから、もう一度実行してください。\n"
    "ファイルはコピーしていません。";
const WCHAR kEnglishText[] =
    L"This update can't run from the folder above: its path has characters other than Japanese "
    L"and ASCII. Move the update's folder, with everything in it, to a place whose path has only "
    L"Japanese and ASCII characters (C:\\Update, for example), then run it again.\n"
    L"Nothing was copied.";

// The reason, the folder (in UTF-16, as Windows holds it), the advice, then the English text;
// without the Japanese when it can't be converted.
void show_folder_stop(const WCHAR* folder) {
  WCHAR text[2048] = L"";
  size_t size = std::size(text);
  if (append_cp932_as_wide(text, size, kJapaneseReason)) append_wide(text, size, L"\n\n");
  append_wide(text, size, folder);
  append_wide(text, size, L"\n\n");
  if (append_cp932_as_wide(text, size, kJapaneseAdvice)) append_wide(text, size, L"\n\n");
  append_wide(text, size, kEnglishText);
  show_wide_stop(text);
}

}  // namespace

// A folder whose path Windows can't give (none, or one longer than any it sets as current) is
// left to the run as before.
bool stop_unless_folder_has_cp932_path() {
  WCHAR folder[1024];
  char bytes[2048];
  DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(std::size(folder)), folder);
  if (length == 0 || length >= std::size(folder)) return false;
  if (exact_cp932(folder, bytes, sizeof bytes)) return false;
  show_folder_stop(folder);
  return true;
}
