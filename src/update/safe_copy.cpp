// The copy step's replace-when-complete copy.
#include "safe_copy.h"

#include <cstring>

#include "platform/win32.h"

namespace {

// A copy carries the source's attributes, read-only from a disc among them; drop that so it can
// be flushed, renamed into place or deleted.
void make_writable(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    SetFileAttributesA(path, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  }
}

bool file_size(const char* path, unsigned long long* size) {
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!GetFileAttributesExA(path, GetFileExInfoStandard, &info)) return false;
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
  *size = (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  return true;
}

// The system's copy returns once the data is in the cache; a rename can then reach the disk before
// the data does, and a power cut leaves the new name over zeros where the old file was. Flushing
// needs a handle with write access; the file is opened as it is, nothing written.
bool flush_to_disk(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool flushed = FlushFileBuffers(file) != FALSE;
  return CloseHandle(file) != FALSE && flushed;
}

// The plain copy straight over the destination, for a folder with no room for a temporary name
// beside the file. The old file is not protected here, but a copy short of the source's size is
// still a failed copy. A destination of MAX_PATH bytes or more is refused as Windows refuses it:
// Wine's CopyFileA would write it, though no other ANSI file function can reach it afterwards.
bool copy_in_place(const char* source, const char* destination, unsigned long long source_size) {
  if (strlen(destination) >= MAX_PATH) return false;
  unsigned long long copied_size = 0;
  if (CopyFileA(source, destination, FALSE) == FALSE) return false;
  make_writable(destination);  // the copy step clears the flag afterwards anyway
  return file_size(destination, &copied_size) && copied_size == source_size &&
         flush_to_disk(destination);
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

  // GetTempFileNameA takes a folder of at most MAX_PATH - 14 bytes, room for a backslash, "upd",
  // four hex digits, ".tmp" and the terminator. Windows refuses a longer one; Wine makes a file
  // under a name cut short and leaves it behind. A game folder that long still takes every
  // destination under MAX_PATH bytes with the plain copy, as it always did.
  if (strlen(folder) > MAX_PATH - 14) return copy_in_place(source, destination, source_size);
  char temp[MAX_PATH];
  if (GetTempFileNameA(folder, "upd", 0, temp) == 0) return false;

  // The system's copy may stop early without saying so (a read error taken for the end of the
  // file): a copy of another size than the source's is a failed copy.
  unsigned long long copied_size = 0;
  bool ok = CopyFileA(source, temp, FALSE) != FALSE;
  make_writable(temp);
  ok = ok && file_size(temp, &copied_size) && copied_size == source_size && flush_to_disk(temp);
  ok = ok && MoveFileExA(temp, destination, MOVEFILE_REPLACE_EXISTING) != FALSE;
  if (!ok) DeleteFileA(temp);
  return ok;
}
