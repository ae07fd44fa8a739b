// What differs from one player's Windows to another: a system that can't give update.exe code
// page 932, a folder whose path code page 932 can't hold, and DLLs planted in the folder it runs
// from.
#include <gtest/gtest.h>

#include <iterator>

#include "cases/common.h"
#include "driver/exe_copies.h"
#include "driver/screenshot.h"

namespace e2e {
namespace {

const char kStopCaption[] = "ＵＰＤＡＴＥの失敗 / Update failed";

// update.exe as a Western Windows 10 runs it, ignoring the manifest's code page: the one box of
// the stop, read right although the process runs in code page 1252, and nothing else: the game's
// key is not even created.
TEST(ForeignLocale, OlderWindowsStopsWithAMessageInBothLanguages) {
  ASSERT_FALSE(system_locale_is_japanese()) << "the harness did not switch the locale";
  Medium medium = fresh_medium("媒体", "データ");
  medium.write_list(list_of({"#REG_T 新作", "#INSTALL_LST", "[標準]", "#FILE", "[標準]", "a.txt"}));
  medium.add_file("a.txt", "new");
  std::string old_windows = join(work_folder(), "update-windows10.exe");
  copy_without_active_code_page(update_exe(), old_windows);

  UpdateRun run(old_windows, medium.root);
  MessageBoxText box = run.take_message_box("code-page-stop");
  EXPECT_BYTES(box.caption, kStopCaption);
  for (const char* part : {"このUPDATEは、日本語の文字コード（シフトJIS）で動くWindowsでしか",
                           "「Unicode 対応ではないプログラムの言語」を「日本語 (日本)」にし、",
                           "\n\nThis update needs Windows 11, or Japanese as the language for",
                           "\"Language for non-Unicode programs\"", "\nNothing was copied."}) {
    EXPECT_NE(box.text.find(part), std::string::npos) << utf8_of(box.text);
  }
  EXPECT_EQ(run.wait_exit(), 1u);
  EXPECT_EQ(run.standard_output(), "");
  EXPECT_EQ(key_state("Software\\TALLOWMERE\\新作"), KeyState::missing);
}

// The wide functions, for a folder the driver's code page 932 can't name.
void write_file_w(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  BOOL ok = file != INVALID_HANDLE_VALUE &&
            WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  if (!ok || written != bytes.size()) fail("cannot write a file under the medium");
}

std::wstring wide_text(HWND window) {
  wchar_t text[2048] = L"";
  DWORD_PTR length = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 5000, &length);
  return text;
}

// A player who unpacks the disc in the download folder of a user named José: started as Explorer
// starts it (CreateProcessW, the folder in UTF-16), update.exe stops before the UPDATE dialog with
// one box that shows the folder, and copies nothing. Its ANSI current folder would be ...\Jose\...,
// where the list is still found (relative opens work) and every source path names another folder.
// The folders are made in the test's own prefix, where a player has them.
TEST(FolderName, PathWithoutCodePage932FormStopsBeforeTheUpdateDialog) {
  std::string game = fresh_folder("ゲーム");
  write_file(join(game, "a.txt"), "old");
  register_game("Software\\TALLOWMERE\\新作", game);
  const std::wstring user = L"C:\\Users\\Jos\u00e9";
  const std::wstring medium = user + L"\\Downloads\\update";
  for (const std::wstring& folder : {user, user + L"\\Downloads", medium, medium + L"\\GAME"}) {
    if (!CreateDirectoryW(folder.c_str(), nullptr)) fail("cannot make the medium's folders");
  }
  write_file_w(medium + L"\\update.ini",
               list_of({"#REG_T 新作", "#INSTALL_LST", "[標準]", "#FILE", "[標準]", "a.txt"}));
  write_file_w(medium + L"\\GAME\\a.txt", "new");

  UpdateRun run(update_exe(), medium);
  HWND box = run.expect(Screen::message_box);
  // Its static text has the message box's id: without the stop, this is the window that comes.
  ASSERT_FALSE(shows(box, Screen::update_dialog)) << "the UPDATE dialog came";
  screenshot_if_wanted(run, box, "folder-name-stop");
  EXPECT_BYTES(window_text(box), kStopCaption);
  std::wstring text = wide_text(GetDlgItem(box, kMessageBoxTextId));
  std::string ansi = control_text(box, kMessageBoxTextId);
  run.dismiss(box);
  EXPECT_NE(text.find(L"\n\n" + medium + L"\n\n"), std::wstring::npos) << utf8_of(ansi);
  for (const char* part :
       {"このUPDATEのフォルダのパスに、日本語と半角英数字・記号以外の文字",
        "\n\nパスが日本語と半角英数字・記号だけになる場所（たとえば C:\\UPDATE）",
        "\n\nThis update can't run from the folder above", "\nNothing was copied."}) {
    EXPECT_NE(ansi.find(part), std::string::npos) << utf8_of(ansi);
  }
  EXPECT_EQ(run.wait_exit(), 1u);
  EXPECT_EQ(run.standard_output(), "");
  EXPECT_EQ(read_file(join(game, "a.txt")), "old");
}

// Wine prefers its builtin DLLs; for the planted name it is told to prefer one from the search
// path, as Windows does for a DLL outside its known set. (WINEDLLOVERRIDES would not do: Wine
// reads it from the Unix environment, not from the one a Windows process passes on.)
void prefer_native_dll(const std::string& name) {
  set_values("Software\\Wine\\DllOverrides", {string_value(name, "native,builtin")});
}

bool appears_within(const std::string& path, DWORD timeout_ms) {
  ULONGLONG deadline = GetTickCount64() + timeout_ms;
  while (!file_exists(path)) {
    if (GetTickCount64() > deadline) return false;
    Sleep(20);
  }
  return true;
}

// The first window of the run makes the system load uxtheme.dll, the themed controls' library.
// Planted beside update.exe, in the folder it runs from, it is never loaded. A copy of
// update.exe that can't restrict the search (as on a system without SetDefaultDllDirectories)
// loads it at the same point: without that, the test would prove nothing.
TEST(DllSearch, PlantBesideTheExeIsNeverLoaded) {
  const std::string kPlantName = "uxtheme";
  std::string folder = fresh_folder("ダウンロード");
  std::string exe = join(folder, "update.exe");
  std::string unrestricted = join(folder, "update-unrestricted.exe");
  std::string plant = join(folder, kPlantName + ".dll");
  std::string loaded = plant + ".loaded";
  if (!CopyFileA(update_exe().c_str(), exe.c_str(), FALSE) ||
      !CopyFileA(plant_dll().c_str(), plant.c_str(), FALSE)) {
    fail("cannot lay out " + folder);
  }
  copy_without_dll_restriction(update_exe(), unrestricted);
  prefer_native_dll(kPlantName);

  {
    UpdateRun control(unrestricted, folder);
    EXPECT_TRUE(appears_within(loaded, kWindowTimeoutMs))
        << "without the restriction the plant is not loaded either";
    control.kill();
  }
  if (!DeleteFileA(loaded.c_str())) fail("cannot remove " + loaded);

  UpdateRun run(exe, folder);
  expect_final_message(run, kUpdateFailed, not_installed("Titleだよ"));
  EXPECT_FALSE(file_exists(loaded)) << "the planted " << kPlantName << ".dll was loaded";
}

}  // namespace
}  // namespace e2e
