// The dialog templates and the manifest inside update.exe, read back as Windows reads them:
// what the resource compiler made of the script, byte for byte.
#include <gtest/gtest.h>

#include "cases/common.h"
#include "driver/dialog_template.h"

namespace e2e {
namespace {

constexpr WORD kJapanese = 1041;
constexpr char kDialogFont[] = "ＭＳ Ｐゴシック";

const std::vector<DialogControl> kUpdateControls = {
    {1001, "EDIT", 0x50810080, 5, 5, 155, 14, ""},
    {1000, "BUTTON", 0x50010000, 160, 5, 40, 14, "フォルダ変更"},
    {-1, "STATIC", 0x50020000, 5, 40, 195, 10,
     "容量が足りない場合、UPDATEが失敗しますのでご注意下さい。"},
    {1, "BUTTON", 0x50010001, 115, 55, 40, 14, "開始"},
    {2, "BUTTON", 0x50010000, 160, 55, 40, 14, "やめる"},
    {-1, "STATIC", 0x50020000, 5, 25, 195, 10,
     "UPDATEはゲームのファルダにファイルをコピーするだけです。"},
};

const std::vector<DialogControl> kFilecopyControls = {
    {1009, "STATIC", 0x50020000, 5, 10, 250, 60, ""},
};

void expect_controls(const DialogTemplate& dialog, const std::vector<DialogControl>& expected) {
  ASSERT_EQ(dialog.controls.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const DialogControl& actual = dialog.controls[i];
    SCOPED_TRACE("control " + std::to_string(i) + ", id " + std::to_string(expected[i].id));
    EXPECT_EQ(actual.id, expected[i].id);
    EXPECT_EQ(actual.class_name, expected[i].class_name);
    EXPECT_EQ(actual.style, expected[i].style) << std::hex << actual.style;
    EXPECT_EQ(actual.x, expected[i].x);
    EXPECT_EQ(actual.y, expected[i].y);
    EXPECT_EQ(actual.width, expected[i].width);
    EXPECT_EQ(actual.height, expected[i].height);
    EXPECT_BYTES(actual.text, expected[i].text);
  }
}

void expect_update_dialog(const ResourceFile& exe) {
  SCOPED_TRACE("UPDATE");
  DialogTemplate dialog = exe.dialog("UPDATE", kJapanese);
  EXPECT_EQ(dialog.style, 0x80C008C0u) << std::hex << dialog.style;
  EXPECT_EQ(dialog.width, 203);
  EXPECT_EQ(dialog.height, 79);
  EXPECT_BYTES(dialog.caption, "UPDATE");
  EXPECT_EQ(dialog.point_size, 9);
  EXPECT_BYTES(dialog.font, kDialogFont);
  expect_controls(dialog, kUpdateControls);
}

void expect_filecopy_dialog(const ResourceFile& exe) {
  SCOPED_TRACE("FILECOPY");
  DialogTemplate dialog = exe.dialog("FILECOPY", kJapanese);
  EXPECT_EQ(dialog.style, 0x80C808C0u) << std::hex << dialog.style;
  EXPECT_EQ(dialog.x, 0);
  EXPECT_EQ(dialog.y, 0);
  EXPECT_EQ(dialog.width, 263);
  EXPECT_EQ(dialog.height, 85);
  EXPECT_BYTES(dialog.caption, "UPDATE中です・・・");
  EXPECT_EQ(dialog.point_size, 9);
  EXPECT_BYTES(dialog.font, kDialogFont);
  expect_controls(dialog, kFilecopyControls);
}

// The manifest Windows applies to the exe (RT_MANIFEST, id 1, in whatever language): no
// elevation, the themed common controls, the dialog manager's own layout on high-DPI screens,
// and code page 932 whatever the system's locale.
void expect_manifest(const ResourceFile& exe) {
  std::string manifest =
      exe.bytes(MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1), ResourceFile::kAnyLanguage);
  auto has = [&](const char* part) { return manifest.find(part) != std::string::npos; };
  EXPECT_TRUE(has("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"));
  EXPECT_TRUE(has("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
  EXPECT_TRUE(has(">true</dpiAware>"));
  EXPECT_TRUE(
      has("<activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">"
          "ja-JP</activeCodePage>"));
}

void expect_resources(const std::string& exe_path) {
  ResourceFile exe(exe_path);
  expect_update_dialog(exe);
  expect_filecopy_dialog(exe);
  expect_manifest(exe);
}

TEST(Resources, DialogsAndManifestOfThisBuildsExe) {
  expect_resources(update_exe());
}

// The x64 build's driver reads the x86 exe too: Windows loads any PE as a data file, whatever its
// architecture, and so does Wine. (In the x86 build, this is its own exe again.)
TEST(Resources, DialogsAndManifestOf32BitExe) {
  std::string exe = path_from_env("E2E_UPDATE_EXE_X86");
  if (exe.empty()) GTEST_SKIP() << "no 32-bit build of update.exe (build the windows-x86 preset)";
  expect_resources(exe);
}

}  // namespace
}  // namespace e2e
