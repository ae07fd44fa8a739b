// How the unit tests drive the Linux stand-in: seed the registry, script the dialogs and the
// folder browser, read what was shown, and make file operations fail the way disks and discs do.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "win32_standin.h"

namespace standin {

// Back to an empty registry, no windows, no records, no scripts and no faults.
void reset();

// Misuse the stand-in saw (a dialog its script left open, a browser nobody answered...).
const std::vector<std::string>& errors();

// Registry, HKEY_CURRENT_USER only. Key paths compare without regard to letter case, as on
// Windows; values keep the order in which they were set.
void reg_set_value(const std::string& key, const std::string& name, DWORD type,
                   const std::string& data);
// What RegEnumValueA reports as the value's size (a double-byte Windows may report more bytes
// than it writes).
void reg_set_reported_size(const std::string& key, const std::string& name, DWORD size);
void reg_make_read_only(const std::string& key);  // opening it with full access is refused
bool reg_key_exists(const std::string& key);
size_t reg_value_count(const std::string& key);
int reg_open_keys();  // opened and not closed yet

// Message boxes. The hook runs while the box is open, as the box's own message loop would: it
// may deliver timer ticks to the owner.
struct MessageBoxRecord {
  HWND owner;
  std::string text;
  std::string caption;
  bool wide = false;      // MessageBoxW; its texts are recorded converted to code page 932
  std::string utf8_text;  // MessageBoxW's text in UTF-8, which holds what code page 932 can't
};
const std::vector<MessageBoxRecord>& message_boxes();
void on_message_box(std::function<void(const MessageBoxRecord&)> hook);

// The process's ANSI code page, as GetACP reports it: 932 after reset(), as a Japanese Windows or
// the manifest's code page gives it. A conversion from code page 932 may be made to fail.
void set_ansi_code_page(UINT code_page);
void fail_code_page_conversion(bool fail);

// Modal dialogs. The script runs once WM_INITDIALOG has been handled and must end the dialog.
void on_dialog(std::function<void(HWND dialog, const std::string& template_name)> script);
const std::vector<std::string>& dialogs_run();  // every template asked for, in order
// DialogBoxParamA of this template returns -1 without running the dialog, as when it cannot be
// made (no desktop, no template).
void fail_dialog(const std::string& template_name);
std::string window_text(HWND window);
std::string item_text(HWND dialog, int id);
void type_text(HWND dialog, int id, const std::string& text);
void command(HWND dialog, int id);  // a button, Enter (IDOK) or Esc and the close box (IDCANCEL)
bool ended(HWND dialog);
UINT timer_period(HWND dialog, UINT_PTR id);  // 0 when no such timer is set
// A tick: what was posted to the dialog, the clock moved on by the timer's period, WM_TIMER for
// each timer, then the workers run and what they posted delivered; false once the dialog ended.
bool tick(HWND dialog);
int run_timers(HWND dialog, int max_ticks);  // ticks until the dialog ends; the ticks taken

// The shell's folder browser. The script plays the user: it may select items, then chooses.
struct BrowseChoice {
  bool chosen = false;
  std::string path;
  bool has_path = true;  // false: an item without a file-system path
};
struct BrowseRecord {
  HWND owner;
  std::string title;
  UINT flags;
  bool selection_requested = false;
  LPARAM selection = 0;
  std::vector<std::string> status_texts;
};
void on_browse(std::function<BrowseChoice(HWND browser)> script);
void browse_select(HWND browser, const std::string& path, bool has_path = true);
const std::vector<BrowseRecord>& browses();
void fail_shell_allocator(bool fail);
int live_item_lists();
int live_allocators();
int com_depth();

// Files. Paths are Windows paths whose backslashes stand for '/'.
enum class CopyFault {
  none,
  fails_midway,  // the next file opened for reading is copied half, then the disk is full
  stops_short,   // the next file opened for reading reads half, then ends (a bad disc)
  flush_fails,   // the next FlushFileBuffers fails (a disk that reports a write error)
};
void inject_copy_fault(CopyFault fault);
// Another program's handle on the file, with its access and sharing, checked as Windows checks
// them against every open of the program's own; a rename over the file is refused while it is
// open, whatever it shares. With for_ms, it closes that long after it was taken, on the
// stand-in's clock (a virus scanner's look); otherwise it stays for good.
void hold_open(const std::string& path, DWORD access = GENERIC_READ | GENERIC_WRITE,
               DWORD share = FILE_SHARE_READ, DWORD for_ms = 0);
// Access rights that refuse this user: an open for writing, a delete or a replace of the file
// fails with ERROR_ACCESS_DENIED; nobody holds it.
void deny_writes(const std::string& path);
int open_handles();  // files, threads and searches opened and not closed yet
// A power cut now: every file whose data was written and not flushed since keeps its name and
// size but reads as zeros, as after a cut where the rename reached the disk and the data did not.
void power_cut();

// The copy's worker threads. tick() lets a started worker run to its end (or to a hold) before
// it delivers what the worker posted; hold_copies() makes a worker wait before each read until
// the test lets bytes through, so a test can look at the dialog with a file under way.
void hold_copies();
void let_copy_move(uint64_t bytes);  // returns once the worker waits again, or has ended
void let_copies_run();               // no more holding; returns once every worker has ended
void pump(HWND dialog);              // what the workers posted, delivered without a tick
void fail_threads(bool fail);        // CreateThread fails, as when no thread can be made
// The process ends now: the system closes every handle it holds (a file marked for deletion
// goes with it), and a worker still running finds its handles gone.
void end_process();

// The Restart Manager. Absent until set, as on a system without it; the names come back from
// RmGetList for any files registered.
struct RestartManagerAnswer {
  bool present = false;
  DWORD get_list_result = ERROR_SUCCESS;
  std::vector<std::wstring> programs;  // strAppName of each process found
};
void set_restart_manager(const RestartManagerAnswer& answer);
std::vector<std::string> restart_manager_files();  // registered in the last session, code page 932
int restart_manager_sessions();                    // started and not ended
// The hidden and system bits of an existing file, which the Linux file system has no room for.
void set_dos_attributes(const std::string& path, DWORD attributes);

// The drive's answers to GetDiskFreeSpaceExA and GetDiskFreeSpaceA. Until set, both answer from
// the file system that holds the path.
struct DiskAnswer {
  bool readable = true;  // false: GetDiskFreeSpaceExA fails
  uint64_t available = 0;
  DWORD sectors_per_cluster = 8;  // 0: GetDiskFreeSpaceA fails
  DWORD bytes_per_sector = 512;
  bool roots_only = false;  // GetDiskFreeSpaceA takes a drive's root alone, as older Windows
};
void set_disk(const DiskAnswer& answer);
std::string unix_path(const char* windows_path);

}  // namespace standin
