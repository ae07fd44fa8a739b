// The windows of another process: finding its dialogs, reading their texts, pressing their
// buttons, as a user would.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace drive {

// The dialog manager's window class; message boxes and the folder browser use it too.
constexpr char kDialogClass[] = "#32770";
// The text of a message box is the static control with this id, its OK button has id 1.
constexpr int kMessageBoxTextId = 0xFFFF;

// The visible top-level dialogs that belong to the process, in Z order.
std::vector<HWND> visible_dialogs(DWORD process_id);

// A window's or control's text as the program holds it: code page 932 bytes. Read with
// WM_GETTEXT through SendMessageTimeoutA, so a hung program fails the step instead of hanging it.
std::string window_text(HWND window);
// The same without failing: false when the program did not answer.
bool read_text(HWND window, std::string* out);
std::string control_text(HWND dialog, int id);
std::string class_of(HWND window);

bool is_message_box(HWND window);

// Waits until a control holds some text and returns it; fails when the window closes first or
// the deadline passes.
std::string wait_for_text(HWND dialog, int id, DWORD timeout_ms);

// Waits until the window has been destroyed; fails when the deadline passes first.
void wait_until_closed(HWND window, DWORD timeout_ms);

// Sets a control's text with WM_SETTEXT, as typing would leave it.
void set_control_text(HWND dialog, int id, const std::string& text);

// Clicks a button: the WM_COMMAND a click sends. Posted, not sent: a button that opens a modal
// window would not return until that window closed.
void press(HWND dialog, int id);

// A key pressed while the dialog has the focus: the dialog manager's own keyboard handling
// (Enter, Esc) takes it from the message queue, as it would a real key.
void press_key(HWND dialog, UINT virtual_key);

// A click on the close box: the system command that Alt+F4 gives too.
void click_close_box(HWND dialog);

// One line per dialog of the process (caption, kind and texts), in UTF-8, for failure reports.
std::string describe_dialogs(DWORD process_id);

}  // namespace drive
