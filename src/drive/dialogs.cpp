// The windows of another process: finding its dialogs, reading their texts, pressing their
// buttons, as a user would.
#include "dialogs.h"

#include <cstring>

#include "disc/cp932_text.h"
#include "error.h"

namespace drive {

namespace {

constexpr UINT kTextTimeoutMs = 5000;

struct Search {
  DWORD process_id;
  std::vector<HWND> found;
};

BOOL CALLBACK collect_dialog(HWND window, LPARAM context) {
  auto search = reinterpret_cast<Search*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->process_id && IsWindowVisible(window) && class_of(window) == kDialogClass) {
    search->found.push_back(window);
  }
  return TRUE;
}

std::string quoted_text(HWND window) {
  std::string text;
  return read_text(window, &text) ? "\"" + cp932_to_utf8(text) + "\"" : "(no answer)";
}

std::string describe_controls(HWND dialog) {
  std::string out;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    out += "\n      " + class_of(child) + " " + std::to_string(GetDlgCtrlID(child) & 0xFFFF) +
           ": " + quoted_text(child);
  }
  return out;
}

}  // namespace

std::vector<HWND> visible_dialogs(DWORD process_id) {
  Search search{process_id, {}};
  EnumWindows(collect_dialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string class_of(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

bool read_text(HWND window, std::string* out) {
  char text[4096] = "";
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                           SMTO_ABORTIFHUNG, kTextTimeoutMs, &length)) {
    return false;
  }
  out->assign(text, strnlen(text, sizeof text));
  return true;
}

std::string window_text(HWND window) {
  std::string text;
  if (!read_text(window, &text)) {
    fail("no answer to WM_GETTEXT: the program does not process its messages");
  }
  return text;
}

std::string control_text(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  if (control == nullptr) fail("the dialog has no control " + std::to_string(id));
  return window_text(control);
}

std::string wait_for_text(HWND dialog, int id, DWORD timeout_ms) {
  ULONGLONG deadline = GetTickCount64() + timeout_ms;
  for (;;) {
    std::string text;
    if (!IsWindow(dialog))
      fail("the window closed before control " + std::to_string(id) + " showed text");
    if (read_text(GetDlgItem(dialog, id), &text) && !text.empty()) return text;
    if (GetTickCount64() > deadline) fail("control " + std::to_string(id) + " stayed empty");
    Sleep(5);
  }
}

void wait_until_closed(HWND window, DWORD timeout_ms) {
  ULONGLONG deadline = GetTickCount64() + timeout_ms;
  while (IsWindow(window)) {
    if (GetTickCount64() > deadline) fail("a window stayed open after it was closed");
    Sleep(5);
  }
}

bool is_message_box(HWND window) {
  return GetDlgItem(window, kMessageBoxTextId) != nullptr;
}

void set_control_text(HWND dialog, int id, const std::string& text) {
  HWND control = GetDlgItem(dialog, id);
  DWORD_PTR result = 0;
  if (control == nullptr ||
      !SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                           SMTO_ABORTIFHUNG, kTextTimeoutMs, &result)) {
    fail("cannot set the text of control " + std::to_string(id));
  }
}

void press(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  if (button == nullptr) fail("the window has no button " + std::to_string(id));
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void press_key(HWND dialog, UINT virtual_key) {
  PostMessageA(dialog, WM_KEYDOWN, virtual_key, 1);
  PostMessageA(dialog, WM_KEYUP, virtual_key, 0xC0000001);
}

void click_close_box(HWND dialog) {
  PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

std::string describe_dialogs(DWORD process_id) {
  std::string out;
  for (HWND dialog : visible_dialogs(process_id)) {
    out += "\n    " + quoted_text(dialog) + describe_controls(dialog);
  }
  return out.empty() ? "\n    (no window)" : out;
}

}  // namespace drive
