// The Linux stand-in for the Windows API calls of the update program.
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <iconv.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

#include "setuplist/text.h"
#include "standin_control.h"

namespace {
struct Posted {
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
};
}  // namespace

struct HWND__ {
  bool is_browser = false;
  std::string template_name;
  DLGPROC proc = nullptr;
  std::string caption;
  std::map<int, std::string> items;
  std::map<UINT_PTR, UINT> timers;
  bool ended = false;
  INT_PTR result = 0;
  // A browser's callback and the record of what was asked of it.
  BFFCALLBACK callback = nullptr;
  LPARAM callback_data = 0;
  size_t browse_index = 0;
  std::deque<Posted> posted;  // by PostMessageA, for the dialog's loop
};

struct ITEMIDLIST {
  std::string path;
  bool has_path;
};

struct HKEY__ {
  std::string key;
};

struct HINSTANCE__ {};  // the one DLL the program loads: the Restart Manager

namespace {

struct RegValue {
  std::string name;
  DWORD type;
  std::string data;
  DWORD reported_size;
};
struct RegKey {
  std::vector<RegValue> values;
  bool read_only = false;
};

struct HandleObject;
struct Worker;

// Another program's handle on a file: its access and sharing, and for how long (0: for good).
struct Holder {
  DWORD access;
  DWORD share;
  DWORD taken;
  DWORD for_ms;
};

// The copies the test holds back: a worker's reads wait until bytes are let through.
struct Gate {
  bool holding = false;
  uint64_t allowance = 0;
};

struct State {
  std::vector<std::string> errors;
  std::map<std::string, RegKey> registry;
  int open_keys = 0;
  std::vector<standin::MessageBoxRecord> message_boxes;
  std::function<void(const standin::MessageBoxRecord&)> message_box_hook;
  std::function<void(HWND, const std::string&)> dialog_script;
  std::vector<std::string> dialogs_run;
  std::set<std::string> failing_dialogs;
  std::deque<std::unique_ptr<HWND__>> windows;
  std::function<standin::BrowseChoice(HWND)> browse_script;
  std::vector<standin::BrowseRecord> browses;
  bool fail_allocator = false;
  int live_lists = 0;
  int live_allocators = 0;
  int com_depth = 0;
  standin::CopyFault copy_fault = standin::CopyFault::none;
  std::optional<uint64_t> write_budget;   // bytes the disk still takes, after a fault was set
  std::map<std::string, Holder> holders;  // by Unix path
  std::set<std::string> denied;           // by Unix path: rights that refuse writes
  std::set<std::string> unflushed;        // by Unix path: written, not flushed since
  std::set<HandleObject*> handles;        // open: files, workers, searches
  std::vector<Worker*> workers_left;      // closed thread handles, joined at the end
  Gate gate;
  DWORD clock = 1000;  // GetTickCount: ticks and Sleep move it on
  bool fail_threads = false;
  std::optional<standin::RestartManagerAnswer> restart_manager;
  std::vector<std::string> rm_files;
  int rm_sessions = 0;
  std::map<std::string, DWORD> dos_attributes;  // by Unix path: hidden and system bits
  UINT ansi_code_page = 932;
  bool fail_conversion = false;
  std::optional<standin::DiskAnswer> disk;
};

State& state() {
  static State s;
  return s;
}

std::string lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

// The control ids of the two dialog templates: an id the template lacks is an error, as it is
// for the dialog manager.
std::map<int, std::string> template_items(const std::string& name) {
  if (name == "UPDATE") return {{1001, ""}, {1000, ""}, {IDOK, ""}, {IDCANCEL, ""}};
  if (name == "FILECOPY") return {{1009, ""}};
  return {};
}

HWND new_window() {
  state().windows.push_back(std::make_unique<HWND__>());
  return state().windows.back().get();
}

class ShellMalloc final : public IMalloc {
 public:
  void Free(void* block) override {
    if (block == nullptr) return;
    delete static_cast<ITEMIDLIST*>(block);
    --state().live_lists;
  }
  ULONG Release() override { return static_cast<ULONG>(--state().live_allocators); }
};
ShellMalloc TheShellMalloc;

// Converts between two of iconv's character sets; false on a byte sequence the source set lacks.
bool convert(const char* from, const char* to, const std::string& in, std::string* out) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string buffer(in.size() * 4 + 16, '\0');
  std::string source = in;
  char* src = source.data();
  size_t src_left = source.size();
  char* dst = buffer.data();
  size_t dst_left = buffer.size();
  size_t result = iconv(cd, &src, &src_left, &dst, &dst_left);
  iconv_close(cd);
  if (result == static_cast<size_t>(-1)) return false;
  buffer.resize(buffer.size() - dst_left);
  *out = buffer;
  return true;
}

std::string cp932_of(LPCWSTR text) {
  std::string wide(reinterpret_cast<const char*>(text), wcslen(text) * sizeof(WCHAR));
  std::string out;
  if (!convert("WCHAR_T", "CP932", wide, &out)) return "(not code page 932)";
  return out;
}

std::string utf8_of(LPCWSTR text) {
  std::string wide(reinterpret_cast<const char*>(text), wcslen(text) * sizeof(WCHAR));
  std::string out;
  if (!convert("WCHAR_T", "UTF-8", wide, &out)) return "(not Unicode)";
  return out;
}

// File helpers ----------------------------------------------------------------------------------

bool stat_path(const char* windows_path, struct stat* st) {
  return stat(standin::unix_path(windows_path).c_str(), st) == 0;
}

bool is_read_only(const struct stat& st) {
  return (st.st_mode & S_IWUSR) == 0;
}

// Handles and threads ----------------------------------------------------------------------------

// The program's copy runs on a worker thread: every call that thread may make takes this lock,
// and so does every control that looks at what those calls change.
using Lock = std::unique_lock<std::recursive_mutex>;

std::recursive_mutex& mutex() {
  static std::recursive_mutex m;
  return m;
}

std::condition_variable_any& changed() {
  static std::condition_variable_any c;
  return c;
}

thread_local DWORD LastError = 0;

template <typename T>
T fail_with(DWORD error, T result) {
  LastError = error;
  return result;
}

void add_error(const std::string& error) {
  Lock lock(mutex());
  state().errors.push_back(error);
}

struct HandleObject {
  HandleObject() = default;
  HandleObject(const HandleObject&) = delete;
  HandleObject& operator=(const HandleObject&) = delete;
  virtual ~HandleObject() = default;
};

struct OpenFile final : HandleObject {
  std::string path;  // Unix path; follows a rename
  DWORD access = 0;
  DWORD share = 0;
  int fd = -1;
  bool delete_pending = false;
  bool gated = false;   // a source opened while the test holds the copies
  off_t short_at = -1;  // reads end here: a disc that reads short of the file's size
  bool dead = false;    // closed by the system when the process ended
};

struct Worker final : HandleObject {
  std::thread thread;
  bool ended = false;
  bool waiting = false;  // for bytes the test has not let through yet
};

struct Search final : HandleObject {
  std::string folder;
  std::vector<std::string> names;
  size_t next = 0;
};

thread_local Worker* CurrentWorker = nullptr;

OpenFile* live_file(HANDLE handle) {
  auto* file = dynamic_cast<OpenFile*>(static_cast<HandleObject*>(handle));
  if (file == nullptr || state().handles.count(file) == 0 || file->dead) return nullptr;
  return file;
}

bool delete_pending(const std::string& unix_name) {
  for (HandleObject* object : state().handles) {
    auto* file = dynamic_cast<OpenFile*>(object);
    if (file != nullptr && !file->dead && file->path == unix_name && file->delete_pending) {
      return true;
    }
  }
  return false;
}

// The sharing each access needs from the handles already open, as Windows checks it both ways.
DWORD sharing_needed(DWORD access) {
  return ((access & GENERIC_READ) != 0 ? FILE_SHARE_READ : 0) |
         ((access & GENERIC_WRITE) != 0 ? FILE_SHARE_WRITE : 0) |
         ((access & DELETE) != 0 ? FILE_SHARE_DELETE : 0);
}

bool shares_refuse(DWORD access, DWORD share, DWORD other_access, DWORD other_share) {
  return (sharing_needed(access) & ~other_share) != 0 ||
         (sharing_needed(other_access) & ~share) != 0;
}

bool holder_active(const Holder& holder) {
  return holder.for_ms == 0 || state().clock - holder.taken < holder.for_ms;
}

// Whether another program's handle, or another of the program's own, refuses this open.
bool sharing_refuses(const std::string& unix_name, DWORD access, DWORD share,
                     const OpenFile* except) {
  State& s = state();
  auto holder = s.holders.find(unix_name);
  if (holder != s.holders.end() && holder_active(holder->second) &&
      shares_refuse(access, share, holder->second.access, holder->second.share)) {
    return true;
  }
  for (HandleObject* object : s.handles) {
    auto* file = dynamic_cast<OpenFile*>(object);
    if (file != nullptr && file != except && !file->dead && file->path == unix_name &&
        shares_refuse(access, share, file->access, file->share)) {
      return true;
    }
  }
  return false;
}

// Whether any handle at all is open on the file: a rename over it is refused then, whatever the
// handle shares (as Windows and Wine refuse it).
bool any_handle_on(const std::string& unix_name, const OpenFile* except) {
  auto holder = state().holders.find(unix_name);
  if (holder != state().holders.end() && holder_active(holder->second)) return true;
  for (HandleObject* object : state().handles) {
    auto* file = dynamic_cast<OpenFile*>(object);
    if (file != nullptr && file != except && !file->dead && file->path == unix_name) return true;
  }
  return false;
}

DWORD dos_bits(const std::string& unix_name) {
  auto found = state().dos_attributes.find(unix_name);
  return found == state().dos_attributes.end() ? 0 : found->second;
}

DWORD attributes_of(const std::string& unix_name, const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
  return FILE_ATTRIBUTE_ARCHIVE | (is_read_only(st) ? FILE_ATTRIBUTE_READONLY : 0) |
         dos_bits(unix_name);
}

constexpr int64_t kUnixEpochIn100ns = 116444736000000000LL;  // 1970 counted from 1601

FILETIME filetime_of(const timespec& time) {
  const uint64_t ticks = static_cast<uint64_t>(time.tv_sec) * 10000000u +
                         static_cast<uint64_t>(time.tv_nsec) / 100u + kUnixEpochIn100ns;
  return {static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

// The times and attributes set through a handle; zero leaves one as it is.
void set_basic_info(const OpenFile* file, const FILE_BASIC_INFO& basic) {
  if (basic.LastWriteTime.QuadPart != 0) {
    const int64_t since_1970 = basic.LastWriteTime.QuadPart - kUnixEpochIn100ns;
    timespec times[2] = {{0, UTIME_OMIT}, {since_1970 / 10000000, (since_1970 % 10000000) * 100}};
    futimens(file->fd, times);
  }
  if (basic.FileAttributes != 0) {
    struct stat st;
    fstat(file->fd, &st);
    mode_t mode = st.st_mode & 07777;
    fchmod(file->fd,
           (basic.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0 ? mode & ~0222u : mode | S_IWUSR);
    DWORD bits = basic.FileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    state().dos_attributes.erase(file->path);
    if (bits != 0) state().dos_attributes[file->path] = bits;
  }
}

// The rename through an open handle: a full path, in its DOS or its NT ("\??\") form. A file
// that is read-only, a folder or open anywhere is not replaced.
BOOL rename_file(OpenFile* file, const FILE_RENAME_INFO* rename, DWORD size) {
  State& s = state();
  if ((file->access & DELETE) == 0) return fail_with(ERROR_ACCESS_DENIED, FALSE);
  const size_t chars = rename->FileNameLength / sizeof(WCHAR);
  if (size < sizeof(FILE_RENAME_INFO) + rename->FileNameLength - sizeof(WCHAR) ||
      rename->RootDirectory != nullptr) {
    return fail_with(ERROR_INVALID_PARAMETER, FALSE);
  }
  std::wstring wide(rename->FileName, chars);
  if (wide.compare(0, 4, L"\\??\\") == 0) wide.erase(0, 4);
  const std::string target = standin::unix_path(cp932_of(wide.c_str()).c_str());
  struct stat st;
  if (stat(target.c_str(), &st) == 0) {
    if (rename->ReplaceIfExists == FALSE) return fail_with(ERROR_ALREADY_EXISTS, FALSE);
    if (S_ISDIR(st.st_mode) || is_read_only(st) || s.denied.count(target) != 0 ||
        any_handle_on(target, file)) {
      return fail_with(ERROR_ACCESS_DENIED, FALSE);
    }
  }
  if (std::rename(file->path.c_str(), target.c_str()) != 0) {
    return fail_with(ERROR_ACCESS_DENIED, FALSE);
  }
  s.dos_attributes.erase(target);
  auto bits = s.dos_attributes.find(file->path);
  if (bits != s.dos_attributes.end()) {
    s.dos_attributes[target] = bits->second;
    s.dos_attributes.erase(file->path);
  }
  bool dirty = s.unflushed.erase(file->path) != 0;
  s.unflushed.erase(target);
  if (dirty) s.unflushed.insert(target);
  file->path = target;
  return TRUE;
}

// What the system does with a handle that closes: a file marked for deletion goes with it.
void close_file(OpenFile* file) {
  if (file->dead) return;
  close(file->fd);
  file->dead = true;
  if (file->delete_pending) {
    unlink(file->path.c_str());
    state().dos_attributes.erase(file->path);
    state().unflushed.erase(file->path);
  }
}

// A worker neither runs nor will run without the test: it has ended, or it waits for bytes the
// test has not let through.
bool workers_quiet() {
  const State& s = state();
  for (HandleObject* object : s.handles) {
    auto* worker = dynamic_cast<Worker*>(object);
    if (worker != nullptr && !worker->ended &&
        !(worker->waiting && s.gate.holding && s.gate.allowance == 0)) {
      return false;
    }
  }
  for (const Worker* worker : s.workers_left) {
    if (!worker->ended && !(worker->waiting && s.gate.holding && s.gate.allowance == 0)) {
      return false;
    }
  }
  return true;
}

void wait_for_workers() {
  Lock lock(mutex());
  changed().wait(lock, workers_quiet);
}

// The messages posted to a dialog, as its message loop would dispatch them.
void deliver_posted(HWND dialog) {
  for (;;) {
    Lock lock(mutex());
    if (dialog->ended || dialog->posted.empty()) return;
    Posted message = dialog->posted.front();
    dialog->posted.pop_front();
    lock.unlock();
    dialog->proc(dialog, message.message, message.wparam, message.lparam);
  }
}

// Every worker to its end, with nothing held back; then each is joined.
void finish_workers() {
  std::vector<Worker*> workers;
  {
    Lock lock(mutex());
    State& s = state();
    s.gate = Gate{};
    changed().notify_all();
    for (HandleObject* object : s.handles) {
      if (auto* worker = dynamic_cast<Worker*>(object)) workers.push_back(worker);
    }
    workers.insert(workers.end(), s.workers_left.begin(), s.workers_left.end());
  }
  for (Worker* worker : workers) {
    if (worker->thread.joinable()) worker->thread.join();
  }
}

}  // namespace

// Dialog manager -------------------------------------------------------------------------------

INT_PTR DialogBoxParamA(HINSTANCE, LPCSTR template_name, HWND, DLGPROC proc, LPARAM init) {
  State& s = state();
  s.dialogs_run.push_back(template_name);
  if (s.failing_dialogs.count(template_name) != 0) return -1;
  HWND dialog = new_window();
  dialog->template_name = template_name;
  dialog->proc = proc;
  dialog->items = template_items(template_name);
  proc(dialog, WM_INITDIALOG, 0, init);
  if (!s.dialog_script) {
    add_error(std::string("no script for dialog ") + template_name);
    return -1;
  }
  s.dialog_script(dialog, template_name);
  if (!dialog->ended) {
    add_error(std::string("dialog left open: ") + template_name);
    return -1;
  }
  return dialog->result;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  dialog->ended = true;
  dialog->result = result;
  return TRUE;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (!window->is_browser) return window->proc(window, message, wparam, lparam);
  standin::BrowseRecord& record = state().browses[window->browse_index];
  if (message == BFFM_SETSTATUSTEXTA) {
    record.status_texts.emplace_back(reinterpret_cast<const char*>(lparam));
  } else if (message == BFFM_SETSELECTIONA) {
    record.selection_requested = true;
    record.selection = lparam;
  }
  return 0;
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
  window->caption = text;
  return TRUE;
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
  auto item = dialog->items.find(id);
  if (item == dialog->items.end()) return FALSE;
  item->second = text;
  return TRUE;
}

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR text, int max_count) {
  auto item = dialog->items.find(id);
  if (item == dialog->items.end() || max_count <= 0) return 0;
  size_t n = std::min(item->second.size(), static_cast<size_t>(max_count - 1));
  memcpy(text, item->second.data(), n);
  text[n] = '\0';
  return static_cast<UINT>(n);
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC) {
  window->timers[id] = elapse;
  return id;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT) {
  State& s = state();
  s.message_boxes.push_back({owner, text, caption, false, {}});
  if (s.message_box_hook) s.message_box_hook(s.message_boxes.back());
  return IDOK;
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT) {
  State& s = state();
  s.message_boxes.push_back({owner, cp932_of(text), cp932_of(caption), true, utf8_of(text)});
  if (s.message_box_hook) s.message_box_hook(s.message_boxes.back());
  return IDOK;
}

int wsprintfA(LPSTR out, LPCSTR format, ...) {  // NOLINT(cert-dcl50-cpp): the Win32 signature
  // wsprintfA never writes more than 1,024 bytes.
  va_list args;
  va_start(args, format);
  int n = vsnprintf(out, 1024, format, args);  // NOLINT(clang-analyzer-valist.Uninitialized)
  va_end(args);
  return std::min(n, 1023);
}

// Code pages -----------------------------------------------------------------------------------

UINT GetACP() {
  return state().ansi_code_page;
}

int MultiByteToWideChar(UINT code_page, DWORD, LPCSTR text, int length, LPWSTR out, int out_count) {
  Lock lock(mutex());
  State& s = state();
  if (code_page == CP_ACP) code_page = s.ansi_code_page;
  if (code_page != 932 || length != -1) {
    add_error("MultiByteToWideChar: only code page 932, NUL-terminated");
    return 0;
  }
  std::string wide;
  if (s.fail_conversion || !convert("CP932", "WCHAR_T", text, &wide)) return 0;
  size_t count = wide.size() / sizeof(WCHAR) + 1;
  if (out_count < 0 || count > static_cast<size_t>(out_count)) return 0;
  memcpy(out, wide.data(), wide.size());
  out[count - 1] = L'\0';
  return static_cast<int>(count);
}

int WideCharToMultiByte(UINT code_page, DWORD, LPCWSTR text, int length, LPSTR out, int out_count,
                        LPCSTR, LPBOOL used_default) {
  Lock lock(mutex());
  if (code_page != 932 || length != -1) {
    add_error("WideCharToMultiByte: only code page 932, NUL-terminated");
    return 0;
  }
  std::string bytes;
  bool defaulted = false;
  for (LPCWSTR c = text; *c != L'\0'; ++c) {
    std::string one;
    if (convert("WCHAR_T", "CP932", std::string(reinterpret_cast<const char*>(c), sizeof *c),
                &one)) {
      bytes += one;
    } else {
      bytes += '?';
      defaulted = true;
    }
  }
  if (used_default != nullptr) *used_default = defaulted ? TRUE : FALSE;
  if (out_count < 0 || bytes.size() + 1 > static_cast<size_t>(out_count)) return 0;
  memcpy(out, bytes.c_str(), bytes.size() + 1);
  return static_cast<int>(bytes.size() + 1);
}

// Shell folder browser and COM -----------------------------------------------------------------

HRESULT SHGetMalloc(IMalloc** malloc) {
  if (state().fail_allocator) return E_FAIL;
  ++state().live_allocators;
  *malloc = &TheShellMalloc;
  return S_OK;
}

LPITEMIDLIST SHBrowseForFolderA(BROWSEINFOA* info) {
  State& s = state();
  HWND browser = new_window();
  browser->is_browser = true;
  browser->callback = info->lpfn;
  browser->callback_data = info->lParam;
  browser->browse_index = s.browses.size();
  s.browses.push_back({info->hwndOwner, info->lpszTitle, info->ulFlags, false, 0, {}});
  if (info->lpfn) info->lpfn(browser, BFFM_INITIALIZED, 0, info->lParam);
  if (!s.browse_script) {
    add_error("no script for the folder browser");
    return nullptr;
  }
  standin::BrowseChoice choice = s.browse_script(browser);
  if (!choice.chosen) return nullptr;
  std::string display = choice.path.substr(choice.path.find_last_of('\\') + 1);
  copy_bounded(info->pszDisplayName, MAX_PATH, display.c_str());
  ++s.live_lists;
  return new ITEMIDLIST{choice.path, choice.has_path};
}

BOOL SHGetPathFromIDListA(LPCITEMIDLIST list, LPSTR path) {
  if (list == nullptr || !list->has_path) {
    path[0] = '\0';
    return FALSE;
  }
  copy_bounded(path, MAX_PATH, list->path.c_str());
  return TRUE;
}

HRESULT CoInitializeEx(void*, DWORD) {
  return ++state().com_depth == 1 ? S_OK : S_FALSE;
}

void CoUninitialize() {
  --state().com_depth;
}

// Files --------------------------------------------------------------------------------------

DWORD GetLastError() {
  return LastError;
}

HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES, DWORD disposition,
                   DWORD, HANDLE) {
  Lock lock(mutex());
  State& s = state();
  if (disposition != OPEN_EXISTING && disposition != CREATE_NEW && disposition != CREATE_ALWAYS) {
    add_error("CreateFileA: only OPEN_EXISTING, CREATE_NEW and CREATE_ALWAYS");
    return INVALID_HANDLE_VALUE;
  }
  if (strlen(path) >= MAX_PATH) return fail_with(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
  const std::string unix_name = standin::unix_path(path);
  struct stat st;
  const bool exists = stat(unix_name.c_str(), &st) == 0;
  const bool writes = (access & (GENERIC_WRITE | DELETE)) != 0 || disposition != OPEN_EXISTING;
  DWORD refused = 0;
  if (!exists && disposition == OPEN_EXISTING) {
    refused = ERROR_FILE_NOT_FOUND;
  } else if (exists && disposition == CREATE_NEW) {
    refused = ERROR_FILE_EXISTS;
  } else if (exists && (S_ISDIR(st.st_mode) || (writes && is_read_only(st)) ||
                        (writes && s.denied.count(unix_name) != 0) || delete_pending(unix_name) ||
                        (disposition == CREATE_ALWAYS && dos_bits(unix_name) != 0))) {
    refused = ERROR_ACCESS_DENIED;  // CREATE_ALWAYS also refuses a hidden or system file
  } else if (exists && sharing_refuses(unix_name, access, share, nullptr)) {
    refused = ERROR_SHARING_VIOLATION;
  }
  if (refused != 0) return fail_with(refused, INVALID_HANDLE_VALUE);

  int flags = (access & GENERIC_WRITE) == 0  ? O_RDONLY
              : (access & GENERIC_READ) != 0 ? O_RDWR
                                             : O_WRONLY;
  if (disposition == CREATE_NEW) flags |= O_CREAT | O_EXCL;
  if (disposition == CREATE_ALWAYS) flags |= O_CREAT | O_TRUNC;
  int fd = open(unix_name.c_str(), flags | O_CLOEXEC, 0666);
  if (fd < 0) {
    return fail_with(errno == ENOENT ? ERROR_PATH_NOT_FOUND : ERROR_ACCESS_DENIED,
                     INVALID_HANDLE_VALUE);
  }
  if (disposition == CREATE_ALWAYS) s.dos_attributes.erase(unix_name);
  auto* file = new OpenFile;
  file->path = unix_name;
  file->access = access;
  file->share = share;
  file->fd = fd;
  // A source opened for reading: the copy that reads it meets the fault set for it.
  if ((access & GENERIC_READ) != 0 && disposition == OPEN_EXISTING) {
    file->gated = s.gate.holding;
    if (s.copy_fault == standin::CopyFault::stops_short) file->short_at = st.st_size / 2;
    if (s.copy_fault == standin::CopyFault::fails_midway) s.write_budget = st.st_size / 2;
    if (s.copy_fault != standin::CopyFault::flush_fails) s.copy_fault = standin::CopyFault::none;
  }
  s.handles.insert(file);
  return file;
}

// Reads as Windows reads a file; while the test holds the copies, a reader waits for the bytes it
// is let through, and the end of the file comes at once.
BOOL ReadFile(HANDLE handle, void* buffer, DWORD size, DWORD* got, void*) {
  Lock lock(mutex());
  State& s = state();
  *got = 0;
  OpenFile* file = live_file(handle);
  if (file == nullptr) return fail_with(ERROR_INVALID_HANDLE, FALSE);
  if ((file->access & GENERIC_READ) == 0) return fail_with(ERROR_ACCESS_DENIED, FALSE);
  off_t at = lseek(file->fd, 0, SEEK_CUR);
  struct stat st;
  fstat(file->fd, &st);
  off_t end = file->short_at >= 0 ? std::min<off_t>(file->short_at, st.st_size) : st.st_size;
  if (at >= end) return TRUE;
  while (file->gated && s.gate.holding && s.gate.allowance == 0 && !file->dead) {
    CurrentWorker->waiting = true;
    changed().notify_all();
    changed().wait(lock);
    CurrentWorker->waiting = false;
  }
  if (file->dead) return fail_with(ERROR_INVALID_HANDLE, FALSE);
  uint64_t want = std::min<uint64_t>(size, static_cast<uint64_t>(end - at));
  if (file->gated && s.gate.holding) want = std::min(want, s.gate.allowance);
  ssize_t n = read(file->fd, buffer, static_cast<size_t>(want));
  if (n < 0) return fail_with(ERROR_READ_FAULT, FALSE);
  if (file->gated && s.gate.holding) s.gate.allowance -= static_cast<uint64_t>(n);
  *got = static_cast<DWORD>(n);
  return TRUE;
}

BOOL WriteFile(HANDLE handle, const void* buffer, DWORD size, DWORD* put, void*) {
  Lock lock(mutex());
  State& s = state();
  *put = 0;
  OpenFile* file = live_file(handle);
  if (file == nullptr) return fail_with(ERROR_INVALID_HANDLE, FALSE);
  if ((file->access & GENERIC_WRITE) == 0) return fail_with(ERROR_ACCESS_DENIED, FALSE);
  DWORD allowed = size;
  if (s.write_budget && *s.write_budget < size) allowed = static_cast<DWORD>(*s.write_budget);
  ssize_t n = write(file->fd, buffer, allowed);
  if (n < 0) return fail_with(ERROR_WRITE_FAULT, FALSE);
  s.unflushed.insert(file->path);
  *put = static_cast<DWORD>(n);
  if (s.write_budget) {
    *s.write_budget -= static_cast<uint64_t>(n);
    if (allowed < size) {
      s.write_budget.reset();
      return fail_with(ERROR_DISK_FULL, FALSE);  // a disk that filled up part-way
    }
  }
  return TRUE;
}

BOOL GetFileInformationByHandle(HANDLE handle, BY_HANDLE_FILE_INFORMATION* info) {
  Lock lock(mutex());
  OpenFile* file = live_file(handle);
  struct stat st;
  if (file == nullptr || fstat(file->fd, &st) != 0) return fail_with(ERROR_INVALID_HANDLE, FALSE);
  *info = BY_HANDLE_FILE_INFORMATION{};
  info->dwFileAttributes = attributes_of(file->path, st);
  info->ftLastWriteTime = filetime_of(st.st_mtim);
  auto size = static_cast<uint64_t>(st.st_size);
  info->nFileSizeHigh = static_cast<DWORD>(size >> 32);
  info->nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
  info->nNumberOfLinks = 1;
  return TRUE;
}

BOOL SetFileInformationByHandle(HANDLE handle, FILE_INFO_BY_HANDLE_CLASS kind, void* info,
                                DWORD size) {
  Lock lock(mutex());
  OpenFile* file = live_file(handle);
  if (file == nullptr) return fail_with(ERROR_INVALID_HANDLE, FALSE);
  switch (kind) {
    case FileDispositionInfo:
      if ((file->access & DELETE) == 0) return fail_with(ERROR_ACCESS_DENIED, FALSE);
      file->delete_pending = static_cast<FILE_DISPOSITION_INFO*>(info)->DeleteFile != FALSE;
      return TRUE;
    case FileBasicInfo:
      if ((file->access & GENERIC_WRITE) == 0) return fail_with(ERROR_ACCESS_DENIED, FALSE);
      set_basic_info(file, *static_cast<FILE_BASIC_INFO*>(info));
      return TRUE;
    case FileRenameInfo:
      return rename_file(file, static_cast<FILE_RENAME_INFO*>(info), size);
  }
  return fail_with(ERROR_INVALID_PARAMETER, FALSE);
}

BOOL FlushFileBuffers(HANDLE handle) {
  Lock lock(mutex());
  State& s = state();
  OpenFile* file = live_file(handle);
  if (file == nullptr) return fail_with(ERROR_INVALID_HANDLE, FALSE);
  // As Windows: flushing needs write access.
  if ((file->access & GENERIC_WRITE) == 0) return fail_with(ERROR_ACCESS_DENIED, FALSE);
  if (s.copy_fault == standin::CopyFault::flush_fails) {
    s.copy_fault = standin::CopyFault::none;
    return fail_with(ERROR_WRITE_FAULT, FALSE);
  }
  s.unflushed.erase(file->path);
  return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
  Lock lock(mutex());
  State& s = state();
  auto* object = static_cast<HandleObject*>(handle);
  if (s.handles.count(object) == 0 || dynamic_cast<Search*>(object) != nullptr) {
    add_error("CloseHandle of a handle that is not open");
    return fail_with(ERROR_INVALID_HANDLE, FALSE);
  }
  s.handles.erase(object);
  if (auto* file = dynamic_cast<OpenFile*>(object)) {
    close_file(file);
    delete file;
  } else if (auto* worker = dynamic_cast<Worker*>(object)) {
    if (!worker->ended) {
      s.workers_left.push_back(worker);  // joined when the test ends
    } else {
      worker->thread.join();  // it only has to return: it set ended as its last act
      delete worker;
    }
  }
  return TRUE;
}

DWORD GetCurrentDirectoryA(DWORD length, LPSTR buffer) {
  char cwd[4096];
  if (getcwd(cwd, sizeof cwd) == nullptr) return 0;
  size_t n = strlen(cwd);
  if (n + 1 > length) return static_cast<DWORD>(n + 1);
  memcpy(buffer, cwd, n + 1);
  return static_cast<DWORD>(n);
}

DWORD GetCurrentDirectoryW(DWORD length, LPWSTR buffer) {
  char cwd[4096];
  std::string wide;
  if (getcwd(cwd, sizeof cwd) == nullptr || !convert("UTF-8", "WCHAR_T", cwd, &wide)) return 0;
  size_t n = wide.size() / sizeof(WCHAR);
  if (n + 1 > length) return static_cast<DWORD>(n + 1);
  memcpy(buffer, wide.data(), wide.size());
  buffer[n] = L'\0';
  return static_cast<DWORD>(n);
}

DWORD GetFileAttributesA(LPCSTR path) {
  Lock lock(mutex());
  struct stat st;
  if (!stat_path(path, &st)) return INVALID_FILE_ATTRIBUTES;
  return attributes_of(standin::unix_path(path), st);
}

BOOL GetFileAttributesExA(LPCSTR path, GET_FILEEX_INFO_LEVELS, void* info) {
  Lock lock(mutex());
  struct stat st;
  if (!stat_path(path, &st)) return FALSE;
  auto* data = static_cast<WIN32_FILE_ATTRIBUTE_DATA*>(info);
  *data = WIN32_FILE_ATTRIBUTE_DATA{};
  data->dwFileAttributes = attributes_of(standin::unix_path(path), st);
  data->ftLastWriteTime = filetime_of(st.st_mtim);
  auto size = static_cast<unsigned long long>(st.st_size);
  data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
  data->nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
  return TRUE;
}

BOOL SetFileAttributesA(LPCSTR path, DWORD attributes) {
  Lock lock(mutex());
  struct stat st;
  if (!stat_path(path, &st)) return FALSE;
  mode_t mode = st.st_mode & 07777;
  mode = (attributes & FILE_ATTRIBUTE_READONLY) ? (mode & ~0222u) : (mode | S_IWUSR);
  standin::set_dos_attributes(path, attributes);
  return chmod(standin::unix_path(path).c_str(), mode) == 0;
}

BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES) {
  return mkdir(standin::unix_path(path).c_str(), 0777) == 0;
}

BOOL DeleteFileA(LPCSTR path) {
  Lock lock(mutex());
  State& s = state();
  const std::string unix_name = standin::unix_path(path);
  struct stat st;
  if (!stat_path(path, &st)) return fail_with(ERROR_FILE_NOT_FOUND, FALSE);
  if (S_ISDIR(st.st_mode) || is_read_only(st) || s.denied.count(unix_name) != 0 ||
      delete_pending(unix_name)) {
    return fail_with(ERROR_ACCESS_DENIED, FALSE);
  }
  if (sharing_refuses(unix_name, DELETE, 0, nullptr))
    return fail_with(ERROR_SHARING_VIOLATION, FALSE);
  s.dos_attributes.erase(unix_name);
  s.unflushed.erase(unix_name);
  return unlink(unix_name.c_str()) == 0 ? TRUE : FALSE;
}

// Only the '*' and '?' of a file name pattern, without regard to case, against long names.
HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA* found) {
  Lock lock(mutex());
  const std::string unix_pattern = standin::unix_path(pattern);
  const size_t slash = unix_pattern.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : unix_pattern.substr(0, slash);
  const std::string mask = unix_pattern.substr(slash == std::string::npos ? 0 : slash + 1);
  auto search = std::make_unique<Search>();
  search->folder = folder;
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      if (fnmatch(mask.c_str(), entry->d_name, FNM_CASEFOLD) == 0)
        search->names.emplace_back(entry->d_name);
    }
    closedir(dir);
  }
  std::sort(search->names.begin(), search->names.end());
  if (search->names.empty()) return fail_with(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
  Search* handle = search.release();
  state().handles.insert(handle);
  FindNextFileA(handle, found);
  return handle;
}

BOOL FindNextFileA(HANDLE handle, WIN32_FIND_DATAA* found) {
  Lock lock(mutex());
  auto* search = dynamic_cast<Search*>(static_cast<HandleObject*>(handle));
  if (search == nullptr || state().handles.count(search) == 0) {
    return fail_with(ERROR_INVALID_HANDLE, FALSE);
  }
  if (search->next >= search->names.size()) return fail_with(ERROR_NO_MORE_FILES, FALSE);
  const std::string& name = search->names[search->next++];
  *found = WIN32_FIND_DATAA{};
  struct stat st;
  const std::string path = search->folder + "/" + name;
  if (stat(path.c_str(), &st) == 0) found->dwFileAttributes = attributes_of(path, st);
  copy_bounded(found->cFileName, sizeof found->cFileName, name.c_str());
  return TRUE;
}

BOOL FindClose(HANDLE handle) {
  Lock lock(mutex());
  auto* search = dynamic_cast<Search*>(static_cast<HandleObject*>(handle));
  if (search == nullptr || state().handles.erase(search) == 0) {
    add_error("FindClose of a search that is not open");
    return FALSE;
  }
  delete search;
  return TRUE;
}

BOOL GetDiskFreeSpaceExA(LPCSTR folder, PULARGE_INTEGER available, PULARGE_INTEGER total,
                         PULARGE_INTEGER total_free) {
  uint64_t room = 0;
  uint64_t size = 0;
  if (state().disk) {
    if (!state().disk->readable) return FALSE;
    room = size = state().disk->available;
  } else {
    struct statvfs fs;
    if (statvfs(standin::unix_path(folder).c_str(), &fs) != 0) return FALSE;
    room = static_cast<uint64_t>(fs.f_bavail) * fs.f_frsize;
    size = static_cast<uint64_t>(fs.f_blocks) * fs.f_frsize;
  }
  if (available) available->QuadPart = room;
  if (total) total->QuadPart = size;
  if (total_free) total_free->QuadPart = room;
  return TRUE;
}

BOOL GetDiskFreeSpaceA(LPCSTR root, LPDWORD sectors_per_cluster, LPDWORD bytes_per_sector,
                       LPDWORD free_clusters, LPDWORD clusters) {
  *free_clusters = *clusters = 0;
  if (state().disk) {
    const standin::DiskAnswer& disk = *state().disk;
    bool is_root = strlen(root) == 3 && root[1] == ':' && root[2] == '\\';
    if (disk.sectors_per_cluster == 0 || (disk.roots_only && !is_root)) return FALSE;
    *sectors_per_cluster = disk.sectors_per_cluster;
    *bytes_per_sector = disk.bytes_per_sector;
    return TRUE;
  }
  struct statvfs fs;
  if (statvfs(standin::unix_path(root).c_str(), &fs) != 0) return FALSE;
  *bytes_per_sector = 512;
  *sectors_per_cluster = static_cast<DWORD>(fs.f_frsize / 512);
  return TRUE;
}

// Threads, posted messages and the clock ------------------------------------------------------

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, size_t, LPTHREAD_START_ROUTINE start, void* parameter,
                    DWORD, DWORD* id) {
  Lock lock(mutex());
  State& s = state();
  if (s.fail_threads) return fail_with(ERROR_NOT_ENOUGH_MEMORY, static_cast<HANDLE>(nullptr));
  auto* worker = new Worker;
  s.handles.insert(worker);
  worker->thread = std::thread([worker, start, parameter] {
    CurrentWorker = worker;
    start(parameter);
    Lock done(mutex());
    worker->ended = true;
    state().gate.allowance = 0;  // bytes a job did not take are not the next job's
    changed().notify_all();
  });
  if (id != nullptr) *id = 1;
  return worker;
}

// No time passes in the stand-in while the program waits: a worker that has not ended is a
// timeout, but for a wait without end, which must not meet a copy the test holds back.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  Lock lock(mutex());
  State& s = state();
  auto* worker = dynamic_cast<Worker*>(static_cast<HandleObject*>(handle));
  if (worker == nullptr || s.handles.count(worker) == 0) {
    add_error("WaitForSingleObject of a handle that is not an open thread");
    return WAIT_FAILED;
  }
  if (worker->ended) return WAIT_OBJECT_0;
  if (milliseconds != INFINITE) return WAIT_TIMEOUT;
  if (s.gate.holding) {
    add_error("waited without end for a copy the test holds back");
    return WAIT_TIMEOUT;
  }
  changed().wait(lock, [worker] { return worker->ended; });
  return WAIT_OBJECT_0;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  Lock lock(mutex());
  if (window == nullptr || window->ended) return FALSE;
  window->posted.push_back({message, wparam, lparam});
  changed().notify_all();
  return TRUE;
}

DWORD GetTickCount() {
  Lock lock(mutex());
  return state().clock;
}

void Sleep(DWORD milliseconds) {
  Lock lock(mutex());
  state().clock += milliseconds;
}

// DLLs and the Restart Manager ------------------------------------------------------------------

namespace {

HINSTANCE__ RestartManagerModule;
constexpr char kSystemFolder[] = "C:\\Windows\\system32";
constexpr DWORD kSessionHandle = 0x5E55;

DWORD WINAPI RmStartSession(DWORD* session, DWORD, WCHAR key[]) {
  ++state().rm_sessions;
  state().rm_files.clear();
  *session = kSessionHandle;
  key[0] = L'\0';
  return ERROR_SUCCESS;
}

DWORD WINAPI RmRegisterResources(DWORD session, UINT file_count, LPCWSTR files[], UINT,
                                 RM_UNIQUE_PROCESS*, UINT, LPCWSTR*) {
  if (session != kSessionHandle) return ERROR_ACCESS_DENIED;
  for (UINT i = 0; i < file_count; ++i)
    state().rm_files.push_back(cp932_of(files[i]));
  return ERROR_SUCCESS;
}

DWORD WINAPI RmGetList(DWORD session, UINT* needed, UINT* given, RM_PROCESS_INFO found[],
                       LPDWORD reasons) {
  const standin::RestartManagerAnswer& answer = *state().restart_manager;
  if (session != kSessionHandle) return ERROR_ACCESS_DENIED;
  *reasons = 0;
  *needed = static_cast<UINT>(answer.programs.size());
  if (answer.get_list_result != ERROR_SUCCESS) return answer.get_list_result;
  if (*needed > *given) return ERROR_MORE_DATA;
  for (size_t i = 0; i < answer.programs.size(); ++i) {
    found[i] = RM_PROCESS_INFO{};
    answer.programs[i].copy(found[i].strAppName, CCH_RM_MAX_APP_NAME);
  }
  *given = *needed;
  return ERROR_SUCCESS;
}

DWORD WINAPI RmEndSession(DWORD session) {
  if (session != kSessionHandle) return ERROR_ACCESS_DENIED;
  --state().rm_sessions;
  return ERROR_SUCCESS;
}

}  // namespace

UINT GetSystemDirectoryA(LPSTR buffer, UINT size) {
  if (size < sizeof kSystemFolder) return sizeof kSystemFolder;
  memcpy(buffer, kSystemFolder, sizeof kSystemFolder);
  return sizeof kSystemFolder - 1;
}

// Only from the system folder: a bare name would be searched for beside the exe too, and the
// DLL's own dependencies beside the exe without the altered search path.
HMODULE LoadLibraryExA(LPCSTR name, HANDLE, DWORD flags) {
  if (lower(name) != lower(std::string(kSystemFolder) + "\\rstrtmgr.dll")) {
    add_error(std::string("DLL loaded by a name other than its system path: ") + name);
    return nullptr;
  }
  if (flags != LOAD_WITH_ALTERED_SEARCH_PATH) {
    add_error("DLL loaded without LOAD_WITH_ALTERED_SEARCH_PATH");
    return nullptr;
  }
  return state().restart_manager && state().restart_manager->present ? &RestartManagerModule
                                                                     : nullptr;
}

// cppcheck-suppress constParameter ; the Win32 signature
FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  if (module != &RestartManagerModule) return nullptr;
  const std::map<std::string, void*> entries = {
      {"RmStartSession", reinterpret_cast<void*>(&RmStartSession)},
      {"RmRegisterResources", reinterpret_cast<void*>(&RmRegisterResources)},
      {"RmGetList", reinterpret_cast<void*>(&RmGetList)},
      {"RmEndSession", reinterpret_cast<void*>(&RmEndSession)},
  };
  auto found = entries.find(name);
  return found == entries.end() ? nullptr : reinterpret_cast<FARPROC>(found->second);
}

BOOL FreeLibrary(HMODULE) {
  return TRUE;
}

// Registry -----------------------------------------------------------------------------------

// cppcheck-suppress constParameter ; the Win32 signature
LONG RegCreateKeyExA(HKEY root, LPCSTR subkey, DWORD, LPSTR, DWORD, REGSAM access,
                     LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition) {
  State& s = state();
  if (root != HKEY_CURRENT_USER) {
    add_error("registry root other than HKEY_CURRENT_USER");
    return ERROR_ACCESS_DENIED;
  }
  std::string key = lower(subkey);
  auto found = s.registry.find(key);
  if (found != s.registry.end() && found->second.read_only && access != KEY_READ) {
    return ERROR_ACCESS_DENIED;
  }
  if (disposition) *disposition = found == s.registry.end() ? 1u : 2u;
  s.registry[key];
  ++s.open_keys;
  *result = new HKEY__{key};
  return ERROR_SUCCESS;
}

LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD name_len, LPDWORD, LPDWORD type,
                   LPBYTE data, LPDWORD data_len) {
  const std::vector<RegValue>& values = state().registry[key->key].values;
  if (index >= values.size()) return ERROR_NO_MORE_ITEMS;
  const RegValue& value = values[index];
  if (value.name.size() >= *name_len || value.data.size() > *data_len) {
    *data_len = value.reported_size;
    return ERROR_MORE_DATA;
  }
  name[value.name.copy(name, value.name.size())] = '\0';
  *name_len = static_cast<DWORD>(value.name.size());
  if (type) *type = value.type;
  std::copy(value.data.begin(), value.data.end(), data);  // bytes, not a string
  *data_len = value.reported_size;
  return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
  --state().open_keys;
  delete key;
  return ERROR_SUCCESS;
}

// Control ------------------------------------------------------------------------------------

namespace standin {

void reset() {
  finish_workers();
  Lock lock(mutex());
  State& s = state();
  for (HandleObject* object : s.handles) {
    if (auto* file = dynamic_cast<OpenFile*>(object)) {
      if (!file->dead) close(file->fd);
    }
    delete object;
  }
  for (Worker* worker : s.workers_left)
    delete worker;
  s = State{};
}

const std::vector<std::string>& errors() {
  return state().errors;
}

void reg_set_value(const std::string& key, const std::string& name, DWORD type,
                   const std::string& data) {
  std::vector<RegValue>& values = state().registry[lower(key)].values;
  auto same = std::find_if(values.begin(), values.end(),
                           [&](const RegValue& v) { return lower(v.name) == lower(name); });
  RegValue value{name, type, data, static_cast<DWORD>(data.size())};
  if (same != values.end()) {
    *same = value;
  } else {
    values.push_back(value);
  }
}

void reg_set_reported_size(const std::string& key, const std::string& name, DWORD size) {
  for (RegValue& v : state().registry[lower(key)].values) {
    if (v.name == name) v.reported_size = size;
  }
}

void reg_make_read_only(const std::string& key) {
  state().registry[lower(key)].read_only = true;
}

bool reg_key_exists(const std::string& key) {
  return state().registry.count(lower(key)) != 0;
}

size_t reg_value_count(const std::string& key) {
  auto found = state().registry.find(lower(key));
  return found == state().registry.end() ? 0 : found->second.values.size();
}

int reg_open_keys() {
  return state().open_keys;
}

const std::vector<MessageBoxRecord>& message_boxes() {
  return state().message_boxes;
}

void on_message_box(std::function<void(const MessageBoxRecord&)> hook) {
  state().message_box_hook = std::move(hook);
}

void on_dialog(std::function<void(HWND, const std::string&)> script) {
  state().dialog_script = std::move(script);
}

const std::vector<std::string>& dialogs_run() {
  return state().dialogs_run;
}

void fail_dialog(const std::string& template_name) {
  state().failing_dialogs.insert(template_name);
}

std::string window_text(HWND window) {
  return window->caption;
}

std::string item_text(HWND dialog, int id) {
  auto item = dialog->items.find(id);
  return item == dialog->items.end() ? std::string() : item->second;
}

void type_text(HWND dialog, int id, const std::string& text) {
  dialog->items[id] = text;
}

void command(HWND dialog, int id) {
  if (dialog->ended) {
    add_error("command to an ended dialog");
    return;
  }
  dialog->proc(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

bool ended(HWND dialog) {
  return dialog->ended;
}

UINT timer_period(HWND dialog, UINT_PTR id) {
  auto timer = dialog->timers.find(id);
  return timer == dialog->timers.end() ? 0 : timer->second;
}

bool tick(HWND dialog) {
  deliver_posted(dialog);
  if (dialog->ended) return false;
  std::vector<UINT_PTR> ids;
  UINT period = 0;
  for (const auto& timer : dialog->timers) {
    ids.push_back(timer.first);
    if (period == 0 || timer.second < period) period = timer.second;
  }
  {
    Lock lock(mutex());
    state().clock += period;
  }
  for (UINT_PTR id : ids) {
    if (dialog->ended) break;
    dialog->proc(dialog, WM_TIMER, id, 0);
  }
  pump(dialog);
  return !dialog->ended;
}

int run_timers(HWND dialog, int max_ticks) {
  int ticks = 0;
  while (ticks < max_ticks && !dialog->ended) {
    tick(dialog);
    ++ticks;
  }
  return ticks;
}

void on_browse(std::function<BrowseChoice(HWND)> script) {
  state().browse_script = std::move(script);
}

void browse_select(HWND browser, const std::string& path, bool has_path) {
  ITEMIDLIST item{path, has_path};
  if (browser->callback) {
    browser->callback(browser, BFFM_SELCHANGED, reinterpret_cast<LPARAM>(&item),
                      browser->callback_data);
  }
}

const std::vector<BrowseRecord>& browses() {
  return state().browses;
}

void fail_shell_allocator(bool fail) {
  state().fail_allocator = fail;
}

int live_item_lists() {
  return state().live_lists;
}

int live_allocators() {
  return state().live_allocators;
}

int com_depth() {
  return state().com_depth;
}

void inject_copy_fault(CopyFault fault) {
  Lock lock(mutex());
  state().copy_fault = fault;
}

void set_ansi_code_page(UINT code_page) {
  state().ansi_code_page = code_page;
}

void fail_code_page_conversion(bool fail) {
  state().fail_conversion = fail;
}

void set_dos_attributes(const std::string& path, DWORD attributes) {
  Lock lock(mutex());
  DWORD bits = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  if (bits == 0) {
    state().dos_attributes.erase(unix_path(path.c_str()));
  } else {
    state().dos_attributes[unix_path(path.c_str())] = bits;
  }
}

void set_disk(const DiskAnswer& answer) {
  state().disk = answer;
}

void hold_open(const std::string& path, DWORD access, DWORD share, DWORD for_ms) {
  Lock lock(mutex());
  state().holders[unix_path(path.c_str())] = Holder{access, share, state().clock, for_ms};
}

void deny_writes(const std::string& path) {
  Lock lock(mutex());
  state().denied.insert(unix_path(path.c_str()));
}

int open_handles() {
  Lock lock(mutex());
  return static_cast<int>(state().handles.size());
}

void hold_copies() {
  Lock lock(mutex());
  state().gate.holding = true;
}

void let_copy_move(uint64_t bytes) {
  Lock lock(mutex());
  state().gate.allowance += bytes;
  changed().notify_all();
  changed().wait(lock, workers_quiet);
}

void let_copies_run() {
  Lock lock(mutex());
  state().gate = Gate{};
  changed().notify_all();
  changed().wait(lock, workers_quiet);
}

void pump(HWND dialog) {
  wait_for_workers();
  deliver_posted(dialog);
}

void fail_threads(bool fail) {
  Lock lock(mutex());
  state().fail_threads = fail;
}

void end_process() {
  {
    Lock lock(mutex());
    for (HandleObject* object : state().handles) {
      if (auto* file = dynamic_cast<OpenFile*>(object)) close_file(file);
    }
  }
  finish_workers();
  Lock lock(mutex());
  State& s = state();
  for (HandleObject* object : s.handles)
    delete object;
  s.handles.clear();
  for (Worker* worker : s.workers_left)
    delete worker;
  s.workers_left.clear();
}

void power_cut() {
  Lock lock(mutex());
  for (const std::string& path : state().unflushed) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) continue;
    chmod(path.c_str(), st.st_mode | S_IWUSR);  // a read-only file loses its data all the same
    int file = open(path.c_str(), O_WRONLY);
    if (file >= 0) {
      const std::string zeros(static_cast<size_t>(st.st_size), '\0');
      (void)!write(file, zeros.data(), zeros.size());
      close(file);
    }
    chmod(path.c_str(), st.st_mode & 07777);
  }
  state().unflushed.clear();
}

void set_restart_manager(const RestartManagerAnswer& answer) {
  state().restart_manager = answer;
}

std::vector<std::string> restart_manager_files() {
  return state().rm_files;
}

int restart_manager_sessions() {
  return state().rm_sessions;
}

std::string unix_path(const char* windows_path) {
  std::string out;
  for (const char* p = windows_path; *p != '\0'; ++p) {
    if (is_cp932_lead(static_cast<unsigned char>(*p)) && p[1] != '\0') {
      out += p[0];
      out += *++p;
    } else {
      out += *p == '\\' ? '/' : *p;
    }
  }
  return out;
}

}  // namespace standin
