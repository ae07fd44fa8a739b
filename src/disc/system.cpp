// The Linux and Windows halves of system.h.
#include "system.h"

#include "setuplist/list_reader.h"

#ifdef _WIN32

#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <algorithm>
#include <cwchar>

namespace {

// Wide text in code_page, exactly, or empty. Without WC_NO_BEST_FIT_CHARS Windows maps characters
// it lacks to look-alikes (the yen sign to the backslash byte, which would split a name), and
// some characters convert one way only: the result is read back and must give the same text.
std::string narrow(const wchar_t* wide, int len, UINT code_page) {
  if (len == 0) return "";
  bool utf8 = code_page == CP_UTF8;
  DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL lossy = FALSE;
  BOOL* lossy_out = utf8 ? nullptr : &lossy;  // CP_UTF8 takes no such flag
  int size = WideCharToMultiByte(code_page, flags, wide, len, nullptr, 0, nullptr, lossy_out);
  // cppcheck-suppress knownConditionTrueFalse ; set through lossy_out by the call above
  if (size <= 0 || lossy) return "";
  std::string out(static_cast<size_t>(size), '\0');
  int written =
      WideCharToMultiByte(code_page, flags, wide, len, out.data(), size, nullptr, lossy_out);
  // cppcheck-suppress knownConditionTrueFalse ; set through lossy_out by the call
  if (written != size || lossy) return "";
  std::wstring back(static_cast<size_t>(len) + 1, L'\0');
  int back_len = MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, out.data(), size, back.data(),
                                     static_cast<int>(back.size()));
  if (back_len != len ||
      back.compare(0, static_cast<size_t>(len), wide, static_cast<size_t>(len)) != 0) {
    return "";
  }
  return out;
}

// A path as the tools hold it (UTF-8) for the wide file functions.
std::wstring widen(const std::string& utf8) {
  int len = static_cast<int>(utf8.size());
  if (len == 0) return L"";
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(
      static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), len, wide.data(), len)));
  return wide;
}

std::string narrow_utf8(const wchar_t* wide) {
  return narrow(wide, static_cast<int>(wcslen(wide)), CP_UTF8);
}

}  // namespace

bool cp932_converter_ready() {
  return IsValidCodePage(932) != FALSE;
}

bool append_cp932_char(const char* bytes, size_t len, std::string* out) {
  wchar_t wide[2];
  int wide_len =
      MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, static_cast<int>(len), wide, 2);
  if (wide_len == 0) return false;
  // Decoding only shows a name: the NEC and IBM rows' twin codes both read as their character.
  std::string utf8 = narrow(wide, wide_len, CP_UTF8);
  if (utf8.empty()) return false;
  *out += utf8;
  return true;
}

bool append_utf8_char_as_cp932(std::string_view utf8_char, std::string* out) {
  wchar_t wide[2];
  int wide_len = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8_char.data(),
                                     static_cast<int>(utf8_char.size()), wide, 2);
  if (wide_len == 0) return false;
  // Without best-fit mappings Windows puts its default character where it has no exact one, and
  // says so.
  char bytes[4];
  BOOL used_default = FALSE;
  int len = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide, wide_len, bytes, sizeof bytes,
                                nullptr, &used_default);
  if (len == 0 || used_default) return false;
  out->append(bytes, static_cast<size_t>(len));
  return true;
}

unsigned ansi_code_page() {
  return GetACP();
}

char32_t upper_case_unit(char32_t unit) {
  if (unit >= 0x10000 || (unit >= 0xD800 && unit <= 0xDFFF)) return unit;
  // The invariant locale's simple mapping, one unit for one, as the file system's table.
  wchar_t in = static_cast<wchar_t>(unit);
  wchar_t out = in;
  if (LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, &in, 1, &out, 1) != 1) return unit;
  return out;
}

unsigned console_to_utf8() {
  DWORD mode;
  if (!GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) &&
      !GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode)) {
    return 0;
  }
  UINT saved = GetConsoleOutputCP();
  SetConsoleOutputCP(CP_UTF8);
  return saved;
}

void console_restore(unsigned saved) {
  SetConsoleOutputCP(saved);
}

std::string compose_name(const std::string& utf8) {
  if (utf8.empty()) return utf8;
  int len = static_cast<int>(utf8.size());
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(static_cast<size_t>(
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), len, wide.data(), len)));
  if (wide.empty()) return utf8;
  // NormalizeString says how much room it wants; composition never needs more than it had.
  std::wstring composed(wide.size(), L'\0');
  int composed_len = NormalizeString(NormalizationC, wide.data(), static_cast<int>(wide.size()),
                                     composed.data(), static_cast<int>(composed.size()));
  if (composed_len <= 0) return utf8;
  composed.resize(static_cast<size_t>(composed_len));
  std::string out = narrow(composed.data(), composed_len, CP_UTF8);
  return out.empty() ? utf8 : out;
}

std::vector<std::string> command_line_utf8(int, char**) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 0; wide != nullptr && i < count; ++i)
    args.push_back(narrow_utf8(wide[i]));
  LocalFree(wide);
  return args;
}

std::filesystem::path program_folder() {
  std::wstring path(32768, L'\0');
  DWORD len = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(len);
  return std::filesystem::path(path).parent_path();
}

bool is_path_separator(char c) {
  return c == '\\' || c == '/';
}

std::string with_native_separators(std::string name) {
  return name;
}

std::string path_text(const std::filesystem::path& path) {
  return narrow_utf8(path.c_str());
}

std::filesystem::path file_path(const std::string& path) {
  return std::filesystem::path(widen(path));
}

FILE* open_file(const std::string& path, const char* mode) {
  return _wfopen(widen(path).c_str(), widen(mode).c_str());
}

FileReader::FileReader(const std::string& path)
    : fd_(_wopen(widen(path).c_str(), _O_RDONLY | _O_BINARY)) {}

FileReader::~FileReader() {
  if (fd_ >= 0) (void)_close(fd_);
}

long FileReader::read(char* buffer, size_t size) {
  return _read(fd_, buffer, static_cast<unsigned>(std::min<size_t>(size, 1u << 30)));
}

FILE* open_list_file(const std::filesystem::path& path) {
  return _wfopen(path.c_str(), L"rt");
}

PathFacts path_facts(const std::string& path) {
  PathFacts facts;
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!GetFileAttributesExW(widen(path).c_str(), GetFileExInfoStandard, &info)) return facts;
  DWORD a = info.dwFileAttributes;
  facts.exists = true;
  facts.folder = (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
  facts.file = !facts.folder;
  facts.size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  facts.read_only = (a & FILE_ATTRIBUTE_READONLY) != 0;
  facts.hidden = (a & FILE_ATTRIBUTE_HIDDEN) != 0;
  facts.system = (a & FILE_ATTRIBUTE_SYSTEM) != 0;
  return facts;
}

EntryFacts entry_facts(const std::string& path) {
  EntryFacts facts;
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!GetFileAttributesExW(widen(path).c_str(), GetFileExInfoStandard, &info)) return facts;
  facts.exists = true;
  facts.folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  facts.file = !facts.folder;
  facts.size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  // 100 ns steps since 1601.
  uint64_t ticks = (static_cast<uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                   info.ftLastWriteTime.dwLowDateTime;
  facts.modified = std::filesystem::file_time_type(
      std::chrono::duration_cast<std::filesystem::file_time_type::duration>(
          std::chrono::nanoseconds(static_cast<int64_t>(ticks) * 100)));
  return facts;
}

bool folder_entries(const std::string& dir, std::vector<FolderEntry>* entries, std::string* error) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((widen(dir) + L"\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) {
    *error = "error " + std::to_string(GetLastError());
    return false;
  }
  do {
    std::string name = narrow_utf8(found.cFileName);
    bool link = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    // Asked of the file itself: NTFS may keep a listing's size and time behind a file still open.
    if (name != "." && name != "..")
      entries->push_back({name, link, entry_facts(dir + "\\" + name)});
  } while (FindNextFileW(find, &found));
  DWORD last = GetLastError();
  FindClose(find);
  if (last != ERROR_NO_MORE_FILES) {
    *error = "error " + std::to_string(last);
    return false;
  }
  return true;
}

std::vector<std::string> folder_names(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((widen(dir) + L"\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = narrow_utf8(found.cFileName);
    if (!name.empty() && name != "." && name != "..") names.push_back(name);
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return names;
}

DiskSpace disk_space_of(const std::string& dir) {
  DiskSpace space;
  std::wstring wide = widen(dir);
  ULARGE_INTEGER available;
  if (!GetDiskFreeSpaceExW(wide.c_str(), &available, nullptr, nullptr)) return space;
  space.known = true;
  space.free = available.QuadPart;
  // GetDiskFreeSpaceW wants the root of the volume (with its backslash) on older systems.
  wchar_t root[MAX_PATH];
  DWORD sectors_per_cluster;
  DWORD bytes_per_sector;
  DWORD free_clusters;
  DWORD clusters;
  if (GetVolumePathNameW(wide.c_str(), root, MAX_PATH) &&
      GetDiskFreeSpaceW(root, &sectors_per_cluster, &bytes_per_sector, &free_clusters, &clusters)) {
    space.cluster_size = static_cast<uint64_t>(sectors_per_cluster) * bytes_per_sector;
  }
  return space;
}

#else

#include <dirent.h>
#include <fcntl.h>
#include <iconv.h>
#include <unistd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <utf8proc.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

// Opened once and kept: the tools convert thousands of single characters.
iconv_t decoder() {
  static iconv_t cd = iconv_open("UTF-8", "CP932");
  return cd;
}

iconv_t encoder() {
  static iconv_t cd = iconv_open("CP932", "UTF-8");
  return cd;
}

// One character of at most four bytes through cd; false when it has no form there.
bool convert_one(iconv_t cd, std::string_view in_bytes, std::string* out) {
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  char in_copy[4] = {};
  in_bytes.copy(in_copy, sizeof in_copy);
  char converted[8];
  char* in = in_copy;
  char* to = converted;
  size_t in_left = in_bytes.size();
  size_t out_left = sizeof converted;
  if (iconv(cd, &in, &in_left, &to, &out_left) == static_cast<size_t>(-1) || in_left != 0) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial state for the next one
    return false;
  }
  out->append(converted, static_cast<size_t>(to - converted));
  return true;
}

}  // namespace

bool cp932_converter_ready() {
  return decoder() != reinterpret_cast<iconv_t>(-1) && encoder() != reinterpret_cast<iconv_t>(-1);
}

bool append_cp932_char(const char* bytes, size_t len, std::string* out) {
  return convert_one(decoder(), std::string_view(bytes, len), out);
}

bool append_utf8_char_as_cp932(std::string_view utf8_char, std::string* out) {
  return utf8_char.size() <= 4 && convert_one(encoder(), utf8_char, out);
}

char32_t upper_case_unit(char32_t unit) {
  if (unit >= 0x10000) return unit;
  auto upper = static_cast<char32_t>(utf8proc_toupper(static_cast<utf8proc_int32_t>(unit)));
  return upper < 0x10000 ? upper : unit;  // one unit for one
}

std::string compose_name(const std::string& utf8) {
  // An ASCII name is composed already; most names are.
  if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return (c & 0x80) == 0; })) return utf8;
  utf8proc_uint8_t* composed =
      utf8proc_NFC(reinterpret_cast<const utf8proc_uint8_t*>(utf8.c_str()));
  if (composed == nullptr) return utf8;  // not UTF-8
  std::string out(reinterpret_cast<const char*>(composed));
  free(composed);  // utf8proc allocates with malloc
  return out;
}

// The Linux build converts names itself, as a Japanese Windows would.
unsigned ansi_code_page() {
  return 932;
}

unsigned console_to_utf8() {
  return 0;
}

void console_restore(unsigned) {}

std::vector<std::string> command_line_utf8(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

std::filesystem::path program_folder() {
  std::error_code ec;
  return std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
}

bool is_path_separator(char c) {
  return c == '/';
}

// On Linux a backslash is part of a name: the medium's names go through a converter first, so a
// second byte 0x5C is never taken for one here.
std::string with_native_separators(std::string name) {
  std::replace(name.begin(), name.end(), '\\', '/');
  return name;
}

std::string path_text(const std::filesystem::path& path) {
  return path.string();
}

std::filesystem::path file_path(const std::string& path) {
  return std::filesystem::path(path);
}

FILE* open_file(const std::string& path, const char* mode) {
  return fopen(path.c_str(), mode);
}

FileReader::FileReader(const std::string& path) : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}

FileReader::~FileReader() {
  if (fd_ >= 0) (void)close(fd_);
}

long FileReader::read(char* buffer, size_t size) {
  for (;;) {
    ssize_t got = ::read(fd_, buffer, size);
    if (got >= 0 || errno != EINTR) return static_cast<long>(got);
  }
}

namespace {

constexpr unsigned kHidden = 0x2;  // FILE_ATTRIBUTE_HIDDEN
constexpr unsigned kSystem = 0x4;  // FILE_ATTRIBUTE_SYSTEM

// Wine keeps the hidden and system attributes as the text "0x" and hex digits (a NUL after them
// is allowed) in user.DOSATTRIB, the attribute Samba uses; it takes nothing else from there.
// Measured with Wine 8: "0X2" and the bare byte 0x22 count for nothing, "0x12" for hidden.
unsigned dos_attributes(const std::string& path) {
  char value[64];
  ssize_t len = getxattr(path.c_str(), "user.DOSATTRIB", value, sizeof value - 1);
  if (len <= 2 || value[0] != '0' || value[1] != 'x') return 0;
  value[len] = '\0';
  char* end = nullptr;
  unsigned long bits = strtoul(value + 2, &end, 16);
  if (end == value + 2 || *end != '\0') return 0;
  return static_cast<unsigned>(bits) & (kHidden | kSystem);
}

}  // namespace

FILE* open_list_file(const std::filesystem::path& path) {
  return open_setup_list(path.c_str());
}

PathFacts path_facts(const std::string& path) {
  PathFacts facts;
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return facts;
  facts.exists = true;
  facts.folder = S_ISDIR(info.st_mode);
  facts.file = S_ISREG(info.st_mode);
  facts.size = static_cast<uint64_t>(info.st_size);
  // Wine keeps the read-only attribute as a mode without any write bit.
  facts.read_only = (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  unsigned dos = dos_attributes(path);
  facts.hidden = (dos & kHidden) != 0;
  facts.system = (dos & kSystem) != 0;
  return facts;
}

namespace {

EntryFacts facts_of(const struct stat& info) {
  EntryFacts facts;
  facts.exists = true;
  facts.folder = S_ISDIR(info.st_mode);
  facts.file = S_ISREG(info.st_mode);
  facts.size = static_cast<uint64_t>(info.st_size);
  facts.modified = std::filesystem::file_time_type(
      std::chrono::duration_cast<std::filesystem::file_time_type::duration>(
          std::chrono::seconds(info.st_mtim.tv_sec) +
          std::chrono::nanoseconds(info.st_mtim.tv_nsec)));
  return facts;
}

}  // namespace

EntryFacts entry_facts(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? facts_of(info) : EntryFacts{};
}

bool folder_entries(const std::string& dir, std::vector<FolderEntry>* entries, std::string* error) {
  DIR* folder = opendir(dir.c_str());
  if (folder == nullptr) {
    *error = strerror(errno);
    return false;
  }
  // readdir says it failed only through errno, which the queries in between may have set.
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(folder);
    if (entry == nullptr) break;
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat info;
    bool link = entry->d_type == DT_LNK;
    if (entry->d_type == DT_UNKNOWN) {  // a file system that doesn't say in the listing
      link = fstatat(dirfd(folder), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
             S_ISLNK(info.st_mode);
    }
    EntryFacts facts;
    if (fstatat(dirfd(folder), entry->d_name, &info, 0) == 0) facts = facts_of(info);
    entries->push_back({std::move(name), link, facts});
  }
  bool failed = errno != 0;
  if (failed) *error = strerror(errno);
  (void)closedir(folder);  // read only: nothing to lose
  return !failed;
}

std::vector<std::string> folder_names(const std::string& dir) {
  std::vector<std::string> names;
  std::error_code error;
  std::filesystem::directory_iterator it(dir, error);
  for (; !error && it != std::filesystem::directory_iterator(); it.increment(error))
    names.push_back(it->path().filename().string());
  return names;
}

DiskSpace disk_space_of(const std::string& dir) {
  DiskSpace space;
  struct statvfs info;
  if (statvfs(dir.c_str(), &info) != 0) return space;
  uint64_t block = info.f_frsize != 0 ? info.f_frsize : info.f_bsize;
  space.known = true;
  space.free = static_cast<uint64_t>(info.f_bavail) * block;
  space.cluster_size = block;
  return space;
}

#endif

// The temporaries of a run, shared by both halves.
#include <atomic>
#include <chrono>
#include <thread>

namespace {

std::mutex& temporaries_mutex() {
  static std::mutex mutex;
  return mutex;
}

std::vector<std::filesystem::path>& temporaries() {
  static std::vector<std::filesystem::path> paths;
  return paths;
}

long ChildProcess = 0;
std::atomic<bool> Interrupted{false};

void stop_child_process(long pid);
// Takes the interrupts from now on, once watch_interrupts has been called.
void start_watching();

// Called with the lock held, which is never given back: the process ends right after. The flag
// goes up first, so that a long write holding the lock lets it go at its next piece.
void remove_temporaries_on_interrupt() {
  Interrupted = true;
  temporaries_mutex().lock();
  if (ChildProcess != 0) stop_child_process(ChildProcess);
  for (const std::filesystem::path& path : temporaries())
    (void)remove_tree(path);
}

}  // namespace

bool interrupt_pending() {
  return Interrupted;
}

void track_temporary(const std::filesystem::path& path) {
  start_watching();
  std::lock_guard<std::mutex> lock(temporaries_mutex());
  temporaries().push_back(path);
}

void untrack_temporary(const std::filesystem::path& path) {
  std::lock_guard<std::mutex> lock(temporaries_mutex());
  auto& paths = temporaries();
  for (auto it = paths.begin(); it != paths.end();) {
    it = *it == path ? paths.erase(it) : it + 1;
  }
}

std::unique_lock<std::mutex> temporaries_lock() {
  std::unique_lock<std::mutex> lock(temporaries_mutex());
  // A write that gave up at an interrupt must not run on to remove the temporaries itself and
  // end the run "nothing was made" before the interrupt's thread ends it as the signal would.
  if (Interrupted) {
    lock.unlock();
    for (;;)
      std::this_thread::sleep_for(std::chrono::seconds(1));
  }
  return lock;
}

#ifdef _WIN32

namespace {

void stop_child_process(long) {}  // the Windows build starts none

// Runs on a thread of its own. Returning FALSE hands the event to the default handler, which ends
// the process with STATUS_CONTROL_C_EXIT.
BOOL WINAPI on_console_event(DWORD) {
  remove_temporaries_on_interrupt();
  return FALSE;
}

}  // namespace

bool remove_tree(const std::filesystem::path& path) {
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(path, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    (void)SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  (void)SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  ec.clear();
  std::filesystem::remove_all(path, ec);
  return !ec;
}

void watch_interrupts() {
  SetConsoleCtrlHandler(on_console_event, TRUE);
}

namespace {

void start_watching() {}  // the console's handler runs from watch_interrupts on

}  // namespace

unsigned long process_id() {
  return GetCurrentProcessId();
}

bool runs_programs() {
  return false;
}

bool program_on_path(const std::string&) {
  return false;
}

int run_program(const std::vector<std::string>&, const std::filesystem::path&) {
  return 127;
}

#else

#include <pthread.h>
#include <signal.h>
#include <sys/wait.h>

namespace {

void stop_child_process(long pid) {
  (void)kill(static_cast<pid_t>(pid), SIGTERM);
}

// The child process a run waits for (0: none), stopped with the run.
void track_child_process(long pid) {
  std::lock_guard<std::mutex> lock(temporaries_mutex());
  ChildProcess = pid;
}

sigset_t interrupt_signals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  return set;
}

// The signals are blocked in every thread and taken here, on an ordinary thread, where removing
// a tree is safe (it is not in a signal handler).
void wait_for_interrupt() {
  sigset_t set = interrupt_signals();
  int signal_number = 0;
  if (sigwait(&set, &signal_number) != 0) return;
  remove_temporaries_on_interrupt();
  // Ended by the signal itself, so the caller sees the status it expects (130 for Ctrl-C).
  (void)signal(signal_number, SIG_DFL);
  sigset_t one;
  sigemptyset(&one);
  sigaddset(&one, signal_number);
  (void)pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
  (void)raise(signal_number);
  // cppcheck-suppress unreachableCode ; raise returns when the signal cannot end the process
  _exit(128 + signal_number);
}

}  // namespace

bool remove_tree(const std::filesystem::path& path) {
  std::error_code ec;
  std::filesystem::remove_all(path, ec);
  return !ec;
}

// Until the first temporary there is nothing to remove, and a signal ends the run as it would any
// program; the thread that takes them starts with the first. A process of two threads pays for
// every file query it makes (the kernel shares its table of open files): a game's tens of
// thousands of them are compared before anything is made.
namespace {
bool Watching = false;
}  // namespace

void watch_interrupts() {
  Watching = true;
}

namespace {

// Only the main thread makes temporaries, and no other thread exists before this one.
void start_watching() {
  static bool started = false;
  if (!Watching || started) return;
  started = true;
  sigset_t set = interrupt_signals();
  (void)pthread_sigmask(SIG_BLOCK, &set, nullptr);
  std::thread(wait_for_interrupt).detach();
}

}  // namespace

unsigned long process_id() {
  return static_cast<unsigned long>(getpid());
}

bool runs_programs() {
  return true;
}

bool program_on_path(const std::string& name) {
  const char* path = getenv("PATH");
  std::string_view dirs = path != nullptr ? path : "";
  while (!dirs.empty()) {
    size_t colon = dirs.find(':');
    std::string dir(dirs.substr(0, colon));
    dirs.remove_prefix(colon == std::string_view::npos ? dirs.size() : colon + 1);
    std::string file = (dir.empty() ? "." : dir) + "/" + name;
    struct stat info;
    if (stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(file.c_str(), X_OK) == 0)
      return true;
  }
  return false;
}

int run_program(const std::vector<std::string>& args, const std::filesystem::path& log) {
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  (void)fflush(stdout);  // the child must not write our buffered output a second time
  (void)fflush(stderr);
  pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    sigset_t none;  // the tool blocks the interrupt signals; the child must not inherit that
    sigemptyset(&none);
    (void)sigprocmask(SIG_SETMASK, &none, nullptr);
    int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd >= 0) {
      (void)dup2(fd, STDOUT_FILENO);
      (void)dup2(fd, STDERR_FILENO);
    }
    execvp(argv[0], argv.data());
    _exit(127);
  }
  track_child_process(child);
  int status = 0;
  pid_t waited;
  while ((waited = waitpid(child, &status, 0)) < 0 && errno == EINTR) {
  }
  track_child_process(0);
  if (waited < 0) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

#endif
