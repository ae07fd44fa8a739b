// The UPDATE dialog and the folder browser it opens.
#include "update_dialog.h"

#include "plan/destination.h"
#include "plan/update_state.h"
#include "res/resource.h"
#include "setuplist/setup_record.h"
#include "setuplist/text.h"

namespace {

// The shell's folder browser needs COM on this thread; undone only if this call did it.
struct ComApartment {
  HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ~ComApartment() {
    if (SUCCEEDED(result)) CoUninitialize();
  }
};

void on_init(HWND dialog) {
  char caption[1024];
  wsprintfA(caption, "%sのＵＰＤＡＴＥ", SetupRecord.TITLE);
  SetWindowTextA(dialog, caption);
  SetDlgItemTextA(dialog, IDC_FOLDER_EDIT, DestinationPath);
}

void on_folder_button(HWND dialog) {
  char prompt[1024];
  wsprintfA(prompt, "%sのインストールしたフォルダ選択してください", SetupRecord.PATH);
  char chosen[1024];
  if (!browse_for_folder(dialog, chosen, prompt)) return;  // typed text stays as it is
  copy_bounded(DestinationPath, kDestinationWidth, chosen);
  SetDlgItemTextA(dialog, IDC_FOLDER_EDIT, DestinationPath);
}

void on_start(HWND dialog) {
  GetDlgItemTextA(dialog, IDC_FOLDER_EDIT, DestinationPath, kDestinationWidth);
  EndDialog(dialog, 1);
  normalize_destination();
  ProceedFlag = 1;
}

}  // namespace

INT_PTR CALLBACK update_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  if (message == WM_INITDIALOG) {
    on_init(dialog);
    return TRUE;  // the dialog manager puts the focus on the folder box
  }
  if (message != WM_COMMAND) return FALSE;
  switch (LOWORD(wparam)) {
    case IDC_FOLDER_BUTTON:
      on_folder_button(dialog);
      return TRUE;
    case IDOK:
      on_start(dialog);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog, 1);  // the folder and ProceedFlag stay as they are
      return TRUE;
    default:
      return FALSE;
  }
}

bool browse_for_folder(HWND owner, char* result, const char* prompt) {
  ComApartment com;
  IMalloc* shell_malloc = nullptr;
  if (FAILED(SHGetMalloc(&shell_malloc))) return false;

  char display_name[MAX_PATH];
  BROWSEINFOA info = {};
  info.hwndOwner = owner;
  info.pidlRoot = nullptr;
  info.pszDisplayName = display_name;
  info.lpszTitle = prompt;
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
  info.lpfn = browse_callback;
  info.lParam = 0;
  info.iImage = 0;
  LPITEMIDLIST list = SHBrowseForFolderA(&info);
  if (list == nullptr) {
    shell_malloc->Release();
    return false;
  }

  // Only a folder with a file-system path is ever put into the box.
  char path[MAX_PATH];
  bool has_path = SHGetPathFromIDListA(list, path) != FALSE;
  shell_malloc->Free(list);
  shell_malloc->Release();
  if (!has_path) return false;
  copy_bounded(result, MAX_PATH, path);
  return true;
}

int CALLBACK browse_callback(HWND browser, UINT event, LPARAM value, LPARAM data) {
  if (event == BFFM_INITIALIZED) {
    SendMessageA(browser, BFFM_SETSELECTIONA, 0, data);
  } else if (event == BFFM_SELCHANGED) {
    char status_path[MAX_PATH];
    if (SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(value), status_path)) {
      SendMessageA(browser, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(status_path));
    }
  }
  return 0;
}
