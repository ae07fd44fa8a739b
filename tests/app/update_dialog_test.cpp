// The UPDATE dialog and its folder browser, played through the stand-in.
#include <cstring>
#include <functional>

#include "app_fixture.h"
#include "plan/update_state.h"
#include "res/resource.h"
#include "setuplist/setup_record.h"
#include "setuplist/text.h"
#include "update/update_dialog.h"

namespace {

class UpdateDialog : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    copy_bounded(DestinationPath, sizeof DestinationPath, "D:\\Games\\Foo\\");
  }

  // Runs the dialog with a script and returns the folder box as the script last saw it.
  void run(std::function<void(HWND)> script) {
    standin::on_dialog([&](HWND dialog, const std::string&) {
      dialog_ = dialog;
      script(dialog);
    });
    DialogBoxParamA(nullptr, "UPDATE", nullptr, update_dialog_proc, 0);
  }

  void choose(const std::string& path, bool has_path = true) {
    standin::on_browse([=](HWND) { return standin::BrowseChoice{true, path, has_path}; });
  }

  std::string box() const { return standin::item_text(dialog_, IDC_FOLDER_EDIT); }

  HWND dialog_ = nullptr;
};

TEST_F(UpdateDialog, OpensWithTitleAndTheFolderUnchanged) {
  copy_bounded(SetupRecord.TITLE, sizeof SetupRecord.TITLE, "新作");
  run([](HWND dialog) {
    EXPECT_EQ(standin::window_text(dialog), "新作のＵＰＤＡＴＥ");
    EXPECT_EQ(standin::item_text(dialog, IDC_FOLDER_EDIT), "D:\\Games\\Foo\\");
    standin::command(dialog, IDCANCEL);
  });
}

TEST_F(UpdateDialog, StartNormalisesAndProceeds) {
  run([](HWND dialog) { standin::command(dialog, IDOK); });
  EXPECT_STREQ(DestinationPath, "D:\\Games\\Foo");
  EXPECT_EQ(ProceedFlag, 1);
}

TEST_F(UpdateDialog, StartTakesWhatWasTyped) {
  run([](HWND dialog) {
    standin::type_text(dialog, IDC_FOLDER_EDIT, "E:\\\\Other\\\\");
    standin::command(dialog, IDOK);
  });
  EXPECT_STREQ(DestinationPath, "E:\\Other");
}

TEST_F(UpdateDialog, StartTakesAtMost1023Bytes) {
  run([](HWND dialog) {
    standin::type_text(dialog, IDC_FOLDER_EDIT, std::string(2000, 'a'));
    standin::command(dialog, IDOK);
  });
  EXPECT_STREQ(DestinationPath, "");  // a file name of 1,023 bytes: refused
  EXPECT_EQ(ProceedFlag, 1);
}

TEST_F(UpdateDialog, CancelChangesNothing) {
  run([](HWND dialog) {
    standin::type_text(dialog, IDC_FOLDER_EDIT, "E:\\Typed");
    standin::command(dialog, IDCANCEL);
  });
  EXPECT_STREQ(DestinationPath, "D:\\Games\\Foo\\");
  EXPECT_EQ(ProceedFlag, 0);
}

TEST_F(UpdateDialog, OtherCommandsAndMessagesAreNotHandled) {
  run([](HWND dialog) {
    EXPECT_EQ(update_dialog_proc(dialog, WM_COMMAND, MAKEWPARAM(IDC_FOLDER_EDIT, 0x300), 0), FALSE);
    EXPECT_EQ(update_dialog_proc(dialog, WM_TIMER, 1, 0), FALSE);
    EXPECT_EQ(update_dialog_proc(dialog, 0x0200, 0, 0), FALSE);
    // The notification code in the high word does not matter.
    EXPECT_EQ(update_dialog_proc(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 1), 0), TRUE);
  });
  EXPECT_EQ(ProceedFlag, 0);
}

TEST_F(UpdateDialog, BrowserShowsThePromptAndTheSelection) {
  copy_bounded(SetupRecord.PATH, sizeof SetupRecord.PATH, "DATA");
  standin::on_browse([](HWND browser) {
    standin::browse_select(browser, "C:\\Games");
    standin::browse_select(browser, "", false);  // a virtual folder: the line stays
    standin::browse_select(browser, "C:\\Games\\Foo");
    return standin::BrowseChoice{};
  });
  run([](HWND dialog) {
    standin::command(dialog, IDC_FOLDER_BUTTON);
    standin::command(dialog, IDCANCEL);
  });
  ASSERT_EQ(standin::browses().size(), 1u);
  const standin::BrowseRecord& browse = standin::browses()[0];
  EXPECT_EQ(browse.owner, dialog_);
  EXPECT_EQ(browse.title, "DATAのインストールしたフォルダ選択してください");
  EXPECT_EQ(browse.flags, BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT);
  EXPECT_TRUE(browse.selection_requested);
  EXPECT_EQ(browse.selection, 0);  // no folder is preselected
  EXPECT_EQ(browse.status_texts, (std::vector<std::string>{"C:\\Games", "C:\\Games\\Foo"}));
}

TEST_F(UpdateDialog, CancelledBrowserLeavesTypedText) {
  standin::on_browse([](HWND) { return standin::BrowseChoice{}; });
  run([](HWND dialog) {
    standin::type_text(dialog, IDC_FOLDER_EDIT, "E:\\Typed");
    standin::command(dialog, IDC_FOLDER_BUTTON);
    EXPECT_EQ(standin::item_text(dialog, IDC_FOLDER_EDIT), "E:\\Typed");
    standin::command(dialog, IDOK);
  });
  EXPECT_STREQ(DestinationPath, "E:\\Typed");
}

TEST_F(UpdateDialog, ChosenFolderReplacesTheBox) {
  choose("C:\\");
  run([&](HWND dialog) {
    standin::type_text(dialog, IDC_FOLDER_EDIT, "E:\\Typed");
    standin::command(dialog, IDC_FOLDER_BUTTON);
    EXPECT_EQ(box(), "C:\\");
    standin::command(dialog, IDOK);
  });
  EXPECT_STREQ(DestinationPath, "C:");
  EXPECT_EQ(ProceedFlag, 1);
}

TEST_F(UpdateDialog, ChosenDottedFolderGivesItsParentAtStart) {
  choose("D:\\Games\\Foo.old");
  run([](HWND dialog) {
    standin::command(dialog, IDC_FOLDER_BUTTON);
    standin::command(dialog, IDOK);
  });
  EXPECT_STREQ(DestinationPath, "D:\\Games");
}

TEST_F(UpdateDialog, ChosenFolderThenCancelDoesNotProceed) {
  choose("C:\\Chosen");
  run([](HWND dialog) {
    standin::command(dialog, IDC_FOLDER_BUTTON);
    standin::command(dialog, IDCANCEL);
  });
  EXPECT_EQ(ProceedFlag, 0);
  EXPECT_STREQ(DestinationPath, "C:\\Chosen");
}

TEST_F(UpdateDialog, ChosenItemWithoutPathIsNotUsed) {
  choose("", false);
  run([&](HWND dialog) {
    standin::command(dialog, IDC_FOLDER_BUTTON);
    EXPECT_EQ(box(), "D:\\Games\\Foo\\");
    standin::command(dialog, IDCANCEL);
  });
  EXPECT_STREQ(DestinationPath, "D:\\Games\\Foo\\");
}

TEST_F(UpdateDialog, NoShellAllocatorMeansNoBrowser) {
  standin::fail_shell_allocator(true);
  run([&](HWND dialog) {
    standin::command(dialog, IDC_FOLDER_BUTTON);
    EXPECT_EQ(box(), "D:\\Games\\Foo\\");
    standin::command(dialog, IDCANCEL);
  });
  EXPECT_TRUE(standin::browses().empty());
}

TEST_F(UpdateDialog, BrowserUsedTwiceReleasesEverything) {
  choose("C:\\One");
  run([&](HWND dialog) {
    standin::command(dialog, IDC_FOLDER_BUTTON);
    choose("C:\\Two");
    standin::command(dialog, IDC_FOLDER_BUTTON);
    EXPECT_EQ(box(), "C:\\Two");
    standin::command(dialog, IDOK);
  });
  EXPECT_STREQ(DestinationPath, "C:\\Two");
  // The fixture checks that item lists, allocators and COM were all given back.
}

}  // namespace
