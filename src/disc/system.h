// Where the publisher's tools differ between Linux and Windows, and nowhere else: the code page
// converters, the code page of the "A" file functions, the console, the command line, paths and
// file queries, the program's own folder, interrupts and the programs a tool runs.
//
// The tools hold every path as UTF-8 text on both systems (on Linux the file system's own bytes,
// UTF-8 in practice); the functions here take that form, and Windows' are its wide ("W") ones, so
// that a folder such as C:\Users\José or C:\作業 is reached whatever the system's code page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

// The platform's converter for one character of one or two code page 932 bytes: iconv on Linux,
// the code page functions on Windows. Appends its UTF-8 form to out; false when code page 932 has
// no such character.
bool append_cp932_char(const char* bytes, size_t len, std::string* out);
// The other way, for one character given as UTF-8 (without best-fit mappings on Windows). Appends
// its code page 932 form to out; false when there is none.
bool append_utf8_char_as_cp932(std::string_view utf8_char, std::string* out);
// False when this system can't convert code page 932 at all (an iconv without its tables).
bool cp932_converter_ready();

// The capital of one UTF-16 unit, as NTFS compares names: simple upper-casing, one unit for one
// (a unit with no capital is itself). Only units below U+10000: NTFS leaves surrogates alone.
char32_t upper_case_unit(char32_t unit);

// A name (UTF-8) composed (NFC), as it goes on a disc: kana with a separate voicing mark, as some
// systems and archivers write them, become the one character code page 932 has. A text that isn't
// UTF-8 comes back as it is.
std::string compose_name(const std::string& utf8);

// Whether this system's file names are compared without regard to case (Windows) or byte for
// byte (Linux).
#ifdef _WIN32
constexpr bool kCaseBlindFileNames = true;
#else
constexpr bool kCaseBlindFileNames = false;
#endif

// The code page the updater's rules read names in (its lead bytes): 932 on Linux, where the tools
// convert themselves; the process's ANSI code page on Windows, which the tools' manifest asks to
// be 932 (Windows 11 grants it on any system locale, earlier versions ignore it).
unsigned ansi_code_page();

// The separator this system joins a folder and a name with.
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif
// Whether a path's own separator ends a folder's name here: '/' on Linux; '\\' and '/' on
// Windows.
bool is_path_separator(char c);
// A relative name the updater composed ('\\' between its levels) with this system's separator.
std::string with_native_separators(std::string name);

// Makes a console show UTF-8 (a console shows UTF-8 only when told to; a pipe or a file takes the
// bytes as they are). Returns what console_restore needs, 0 when nothing was changed.
unsigned console_to_utf8();
void console_restore(unsigned saved);

// The arguments as UTF-8. Windows gives them from the wide command line, so that any name
// arrives whatever the system's code page (its 8-bit command line holds a best-fit "Jose").
std::vector<std::string> command_line_utf8(int argc, char** argv);

// The folder this program was started from.
std::filesystem::path program_folder();

// A path as the tools hold it (UTF-8), and back. Empty when a Windows path has no such form (a
// lone surrogate).
std::string path_text(const std::filesystem::path& path);
std::filesystem::path file_path(const std::string& path);
// fopen of a path as the tools hold it.
FILE* open_file(const std::string& path, const char* mode);

// A file opened for reading its bytes straight from the system, no stream between (tens of
// thousands of files are compared), and closed when it goes.
class FileReader {
 public:
  explicit FileReader(const std::string& path);
  ~FileReader();
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;
  bool is_open() const { return fd_ >= 0; }
  // Up to size bytes; 0 at the end, -1 when it fails.
  long read(char* buffer, size_t size);

 private:
  int fd_;
};

// Removes a tree, read-only files included (Windows refuses to delete a read-only file, and a copy
// keeps NEW's read-only attribute). False when something is left.
bool remove_tree(const std::filesystem::path& path);

// Interrupted runs. From watch_interrupts on (call it first thing in main, before any thread is
// made), SIGINT, SIGTERM and SIGHUP (on Windows Ctrl-C, Ctrl-Break and a closed console) remove
// every tracked temporary and the running child process, then end the process as the signal
// would have (before the first temporary, with nothing to remove, they end it at once). Writes into
// the temporaries are made under temporaries_lock, so that none comes after the removal; a long
// write asks interrupt_pending between its pieces and gives the lock up when it is (Windows gives a
// closed console's program 5 s).
void watch_interrupts();
bool interrupt_pending();
void track_temporary(const std::filesystem::path& path);
void untrack_temporary(const std::filesystem::path& path);
std::unique_lock<std::mutex> temporaries_lock();
// This process's id, which makes a temporary's name unique to the run.
unsigned long process_id();
// A setup list opened for reading as the updater opens it (text mode), by any name: Windows takes
// the wide name.
FILE* open_list_file(const std::filesystem::path& path);
// Whether this build starts other programs (the Windows build starts none), and whether one of
// that name is on the PATH.
bool runs_programs();
bool program_on_path(const std::string& name);
// Runs a program with an argument vector of its own (never through a shell), its output and
// errors written to log, and waits for it; an interrupt stops it with the run. Its exit status,
// 127 when it can't be started, -1 when it can't be waited for.
int run_program(const std::vector<std::string>& args, const std::filesystem::path& log);

// One path as the file system answers for it, links followed. On Linux
// the DOS attributes are read as Wine keeps them: read-only from a mode without any write bit,
// hidden and system from the extended attribute user.DOSATTRIB.
struct PathFacts {
  bool exists = false;
  bool folder = false;
  bool file = false;  // neither a folder nor a device, a pipe or the like
  uint64_t size = 0;
  bool read_only = false;
  bool hidden = false;
  bool system = false;
};
PathFacts path_facts(const std::string& path);
// What a walk of a tree needs of one entry, from one query of the file system (a game holds tens
// of thousands of files), links followed. modified is the time of its last write as this function
// gives it: compare it only with another of its answers.
struct EntryFacts {
  bool exists = false;
  bool folder = false;
  bool file = false;  // neither a folder nor a device, a pipe or the like
  uint64_t size = 0;
  std::filesystem::file_time_type modified{};
};
EntryFacts entry_facts(const std::string& path);
// The entries of a folder (not "." and ".."), each with whether it is a symbolic link itself and
// what entry_facts says of it (on Linux asked relative to the open folder, which spares the
// system a walk of the whole path for each). False, with the reason in *error, when the folder
// can't be read.
struct FolderEntry {
  std::string name;
  bool link = false;
  EntryFacts facts;
};
bool folder_entries(const std::string& dir, std::vector<FolderEntry>* entries, std::string* error);
// The names in a folder, for looking one up without regard to case where the file system
// compares them byte for byte.
std::vector<std::string> folder_names(const std::string& dir);

struct DiskSpace {
  bool known = false;
  uint64_t free = 0;          // bytes an ordinary user may still write
  uint64_t cluster_size = 0;  // the unit files take room in
};
DiskSpace disk_space_of(const std::string& dir);
