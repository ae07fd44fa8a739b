// Faults a player's machine can put in the way of the copy: a file the running game holds, a file
// nobody may read, a Unix file that reads short of its size, a disk with little room left.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// Opens an existing file as a running game holds its own files: by default for reading and
// writing, shared with nobody; the handle is closed when the object goes.
class HeldFile {
 public:
  explicit HeldFile(const std::string& path, DWORD access = GENERIC_READ | GENERIC_WRITE,
                    DWORD share = 0);
  ~HeldFile();
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;

 private:
  HANDLE file_;
};

// Gives the file an empty access list: nobody may open it, its owner neither (under Wine the
// file's Unix mode becomes 000). Fails the test when the file can still be opened for reading.
void deny_all_access(const std::string& path);

// The Unix path (UTF-8) of a Windows path, as Wine maps it; empty outside Wine.
std::string unix_path_of(const std::string& path);

// Makes link a Unix symbolic link to the Unix path target, through /bin/ln: Wine starts Unix
// programs too, but gives no handle to wait on, so this waits until the link is there.
void make_unix_symlink(const std::string& link, const std::string& unix_target);

// The files below a folder (relative names, sorted) that look like the copy's temporary files:
// "upd*.tmp", in any case.
std::vector<std::string> temp_files_below(const std::string& folder);

// The bytes the caller may still write to the disk that holds the path.
unsigned long long free_bytes(const std::string& path);

}  // namespace e2e
