// The Linux stand-in for the Windows API calls of the update program.
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "setuplist/text.h"
#include "standin_control.h"

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
struct OpenFile {
  std::string path;  // Unix path
  DWORD access;
};
}  // namespace

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
  std::map<std::string, DWORD> held_open;  // by Unix path: the error an open for writing gets
  std::set<std::string> unflushed;         // by Unix path: written, not flushed since
  int open_handles = 0;
  DWORD last_error = 0;
  std::optional<standin::RestartManagerAnswer> restart_manager;
  std::vector<std::string> rm_files;
  int rm_sessions = 0;
  std::map<std::string, DWORD> dos_attributes;  // by Unix path: hidden and system bits
  unsigned temp_counter = 0;
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

// File helpers ----------------------------------------------------------------------------------

bool stat_path(const char* windows_path, struct stat* st) {
  return stat(standin::unix_path(windows_path).c_str(), st) == 0;
}

bool is_read_only(const struct stat& st) {
  return (st.st_mode & S_IWUSR) == 0;
}

bool is_held(const char* windows_path) {
  return state().held_open.count(standin::unix_path(windows_path)) != 0;
}

// The flushed state follows a file that is renamed, and goes with one that is deleted.
void carry_unflushed(const char* from, const char* to) {
  std::set<std::string>& all = state().unflushed;
  bool dirty = all.erase(standin::unix_path(from)) != 0;
  all.erase(standin::unix_path(to));
  if (dirty) all.insert(standin::unix_path(to));
}

DWORD dos_attributes(const char* windows_path) {
  auto found = state().dos_attributes.find(standin::unix_path(windows_path));
  return found == state().dos_attributes.end() ? 0 : found->second;
}

// The hidden and system bits follow a file that is renamed, copied or deleted.
void carry_dos_attributes(const char* from, const char* to) {
  std::map<std::string, DWORD>& all = state().dos_attributes;
  DWORD bits = dos_attributes(from);
  all.erase(standin::unix_path(to));
  if (bits != 0) all[standin::unix_path(to)] = bits;
}

// Whether an existing destination may be replaced, as Windows decides it.
bool may_replace(const char* windows_path) {
  struct stat st;
  if (!stat_path(windows_path, &st)) return true;
  return !S_ISDIR(st.st_mode) && !is_read_only(st) && !is_held(windows_path);
}

bool copy_bytes(int from, int to, off_t size, standin::CopyFault fault) {
  off_t limit = fault == standin::CopyFault::none ? size : size / 2;
  char buffer[65536];
  off_t done = 0;
  while (done < limit) {
    size_t want = static_cast<size_t>(std::min<off_t>(limit - done, sizeof buffer));
    ssize_t got = read(from, buffer, want);
    if (got <= 0) break;
    if (write(to, buffer, static_cast<size_t>(got)) != got) return false;
    done += got;
  }
  return fault != standin::CopyFault::fails_midway;
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
    s.errors.push_back(std::string("no script for dialog ") + template_name);
    return -1;
  }
  s.dialog_script(dialog, template_name);
  if (!dialog->ended) {
    s.errors.push_back(std::string("dialog left open: ") + template_name);
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
  s.message_boxes.push_back({owner, text, caption});
  if (s.message_box_hook) s.message_box_hook(s.message_boxes.back());
  return IDOK;
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT) {
  State& s = state();
  s.message_boxes.push_back({owner, cp932_of(text), cp932_of(caption), true});
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
  State& s = state();
  if (code_page != 932 || length != -1) {
    s.errors.emplace_back("MultiByteToWideChar: only code page 932, NUL-terminated");
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
  State& s = state();
  if (code_page != 932 || length != -1) {
    s.errors.emplace_back("WideCharToMultiByte: only code page 932, NUL-terminated");
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
    s.errors.emplace_back("no script for the folder browser");
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
  return state().last_error;
}

HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD disposition,
                   DWORD, HANDLE) {
  State& s = state();
  if (disposition != OPEN_EXISTING) {
    s.errors.emplace_back("CreateFileA: only OPEN_EXISTING");
    return INVALID_HANDLE_VALUE;
  }
  struct stat st;
  const bool writes = (access & (GENERIC_WRITE | DELETE)) != 0;
  auto held = s.held_open.find(standin::unix_path(path));
  if (strlen(path) >= MAX_PATH) {
    s.last_error = ERROR_PATH_NOT_FOUND;
  } else if (!stat_path(path, &st)) {
    s.last_error = ERROR_FILE_NOT_FOUND;
  } else if (S_ISDIR(st.st_mode) || (writes && is_read_only(st))) {
    s.last_error = ERROR_ACCESS_DENIED;
  } else if (writes && held != s.held_open.end()) {
    s.last_error = held->second;
  } else {
    ++s.open_handles;
    return new OpenFile{standin::unix_path(path), access};
  }
  return INVALID_HANDLE_VALUE;
}

BOOL FlushFileBuffers(HANDLE file) {
  State& s = state();
  auto* open_file = static_cast<OpenFile*>(file);
  if ((open_file->access & GENERIC_WRITE) == 0) {
    s.last_error = ERROR_ACCESS_DENIED;  // as Windows: flushing needs write access
    return FALSE;
  }
  if (s.copy_fault == standin::CopyFault::flush_fails) {
    s.copy_fault = standin::CopyFault::none;
    s.last_error = ERROR_WRITE_FAULT;
    return FALSE;
  }
  s.unflushed.erase(open_file->path);
  return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
  --state().open_handles;
  delete static_cast<OpenFile*>(handle);
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

DWORD GetFileAttributesA(LPCSTR path) {
  struct stat st;
  if (!stat_path(path, &st)) return INVALID_FILE_ATTRIBUTES;
  if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
  return FILE_ATTRIBUTE_ARCHIVE | (is_read_only(st) ? FILE_ATTRIBUTE_READONLY : 0) |
         dos_attributes(path);
}

BOOL GetFileAttributesExA(LPCSTR path, GET_FILEEX_INFO_LEVELS, void* info) {
  struct stat st;
  if (!stat_path(path, &st)) return FALSE;
  auto* data = static_cast<WIN32_FILE_ATTRIBUTE_DATA*>(info);
  *data = WIN32_FILE_ATTRIBUTE_DATA{};
  data->dwFileAttributes = GetFileAttributesA(path);
  auto size = static_cast<unsigned long long>(st.st_size);
  data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
  data->nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
  return TRUE;
}

BOOL SetFileAttributesA(LPCSTR path, DWORD attributes) {
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

BOOL CopyFileA(LPCSTR source, LPCSTR destination, BOOL fail_if_exists) {
  State& s = state();
  standin::CopyFault fault = s.copy_fault;
  if (fault == standin::CopyFault::flush_fails) fault = standin::CopyFault::none;
  if (fault != standin::CopyFault::none) s.copy_fault = standin::CopyFault::none;
  // The ANSI file functions take no path of MAX_PATH bytes or more.
  if (strlen(source) >= MAX_PATH || strlen(destination) >= MAX_PATH) return FALSE;
  struct stat src_stat;
  struct stat dst_stat;
  if (!stat_path(source, &src_stat) || !S_ISREG(src_stat.st_mode) || is_held(source)) return FALSE;
  // Windows' copy refuses a hidden destination, and its CreateFile a system one.
  constexpr DWORD kRefused = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  if (stat_path(destination, &dst_stat) &&
      (fail_if_exists || !may_replace(destination) || (dos_attributes(destination) & kRefused))) {
    return FALSE;
  }
  int from = open(standin::unix_path(source).c_str(), O_RDONLY);
  if (from < 0) return FALSE;
  int to = open(standin::unix_path(destination).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
  if (to < 0) {
    close(from);
    return FALSE;
  }
  bool ok = copy_bytes(from, to, src_stat.st_size, fault);
  close(from);
  close(to);
  s.unflushed.insert(standin::unix_path(destination));
  // The copy carries the source's read-only flag, as the system's copy does.
  if (ok && is_read_only(src_stat)) SetFileAttributesA(destination, FILE_ATTRIBUTE_READONLY);
  if (ok) carry_dos_attributes(source, destination);
  return ok ? TRUE : FALSE;
}

BOOL MoveFileExA(LPCSTR source, LPCSTR destination, DWORD flags) {
  struct stat st;
  if (is_held(source)) return FALSE;
  if (stat_path(destination, &st) &&
      ((flags & MOVEFILE_REPLACE_EXISTING) == 0 || !may_replace(destination))) {
    return FALSE;
  }
  if (rename(standin::unix_path(source).c_str(), standin::unix_path(destination).c_str()) != 0) {
    return FALSE;
  }
  carry_dos_attributes(source, destination);
  state().dos_attributes.erase(standin::unix_path(source));
  carry_unflushed(source, destination);
  return TRUE;
}

BOOL DeleteFileA(LPCSTR path) {
  struct stat st;
  if (!stat_path(path, &st) || is_read_only(st) || is_held(path)) return FALSE;
  state().dos_attributes.erase(standin::unix_path(path));
  state().unflushed.erase(standin::unix_path(path));
  return unlink(standin::unix_path(path).c_str()) == 0;
}

UINT GetTempFileNameA(LPCSTR folder, LPCSTR prefix, UINT, LPSTR out) {
  if (strlen(folder) > MAX_PATH - 14) return 0;  // as Windows documents it
  std::string base = folder;
  if (base.empty() || base.back() != '\\') base += '\\';
  std::string pre = std::string(prefix).substr(0, 3);
  for (int attempt = 0; attempt < 0x10000; ++attempt) {
    unsigned number = (++state().temp_counter) & 0xFFFF;
    if (number == 0) continue;
    char name[16];
    (void)snprintf(name, sizeof name, "%X.TMP", number);
    std::string path = base + pre + name;
    if (path.size() >= MAX_PATH) return 0;
    int fd = open(standin::unix_path(path.c_str()).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd >= 0) {
      close(fd);
      memcpy(out, path.c_str(), path.size() + 1);
      return number;
    }
    if (errno != EEXIST) return 0;
  }
  return 0;
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

// Only from the system folder: a bare name would be searched for beside the exe too.
HMODULE LoadLibraryExA(LPCSTR name, HANDLE, DWORD) {
  if (lower(name) != lower(std::string(kSystemFolder) + "\\rstrtmgr.dll")) {
    state().errors.push_back(std::string("DLL loaded by a name other than its system path: ") +
                             name);
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
    s.errors.emplace_back("registry root other than HKEY_CURRENT_USER");
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
  state() = State{};
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
    state().errors.push_back("command to an ended dialog");
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
  if (dialog->ended) return false;
  std::vector<UINT_PTR> ids;
  for (const auto& timer : dialog->timers)
    ids.push_back(timer.first);
  for (UINT_PTR id : ids) {
    if (dialog->ended) break;
    dialog->proc(dialog, WM_TIMER, id, 0);
  }
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
  state().copy_fault = fault;
}

void set_ansi_code_page(UINT code_page) {
  state().ansi_code_page = code_page;
}

void fail_code_page_conversion(bool fail) {
  state().fail_conversion = fail;
}

void set_dos_attributes(const std::string& path, DWORD attributes) {
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

void hold_open(const std::string& path, DWORD error) {
  state().held_open[unix_path(path.c_str())] = error;
}

int open_handles() {
  return state().open_handles;
}

void power_cut() {
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
