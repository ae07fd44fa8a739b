// What differs from one player's Windows to another: a system that can't give update.exe code
// page 932, and DLLs planted in the folder it runs from.
#include <gtest/gtest.h>

#include "cases/common.h"
#include "driver/exe_copies.h"

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
