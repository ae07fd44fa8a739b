// The copy step's replace-when-complete copy.
#include "safe_copy.h"

#include <cstring>

#include "dbcs.h"
#include "platform/win32.h"

namespace {

bool file_size(const char* path, unsigned long long* size) {
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!GetFileAttributesExA(path, GetFileExInfoStandard, &info)) return false;
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
  *size = (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  return true;
}

// The temporary copy carries the source's attributes, read-only from a disc among them; drop that
// so it can be renamed into place or deleted.
void make_writable(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    SetFileAttributesA(path, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  }
}

// Checked here rather than left to the rename: Windows refuses to replace a read-only file, but
// Wine's rename replaces it. Windows' own copy also refuses a hidden destination, and its
// CreateFile an existing system file (a copy over either fails with access denied); the rename
// would replace both, on Windows and under Wine, so they are kept here too.
bool is_replaceable(const char* destination) {
  DWORD attributes = GetFileAttributesA(destination);
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;
  return (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                        FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

}  // namespace

bool copy_file_safely(const char* source, const char* destination, const char* folder) {
  unsigned long long source_size = 0;
  if (!is_replaceable(destination) || !file_size(source, &source_size)) return false;

  // The temporary name is the folder, a backslash when it has none, "upd", up to four hex digits
  // and ".tmp", in MAX_PATH bytes with its terminator. A longer one Windows refuses, but Wine
  // makes a file under a name cut short and leaves it behind in the game folder.
  size_t temp_length =
      strlen(folder) + (ends_with_backslash_char(folder) ? 0 : 1) + strlen("upd0000.tmp");
  if (temp_length >= MAX_PATH) return false;
  char temp[MAX_PATH];
  if (GetTempFileNameA(folder, "upd", 0, temp) == 0) return false;

  // The system's copy may stop early without saying so (a read error taken for the end of the
  // file): a copy of another size than the source's is a failed copy.
  unsigned long long copied_size = 0;
  bool ok = CopyFileA(source, temp, FALSE) != FALSE;
  make_writable(temp);
  ok = ok && file_size(temp, &copied_size) && copied_size == source_size;
  ok = ok && MoveFileExA(temp, destination, MOVEFILE_REPLACE_EXISTING) != FALSE;
  if (!ok) DeleteFileA(temp);
  return ok;
}
