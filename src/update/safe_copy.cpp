// The copy step's replace-when-complete copy of one file.
#include "safe_copy.h"

#include <cstddef>
#include <cstring>

#include "owned_handle.h"
#include "plan/temp_names.h"

namespace {

// Wine's own CopyFileA moves 64 KB at a time, and larger chunks were no faster here (see the
// maintainers' notes); a cancel waits for one chunk at most: a few milliseconds from a DVD.
constexpr DWORD kChunkBytes = 64 * 1024;
char Chunk[kChunkBytes];  // one job at a time

// Checked here rather than left to the replace: Windows refuses to replace a read-only file, but
// Wine's rename replaces it. Windows' own copy also refuses a hidden destination, and its
// CreateFile an existing system file (a copy over either fails with access denied); the rename
// would replace both, on Windows and under Wine, so they are kept here too.
bool is_replaceable(const char* destination) {
  DWORD attributes = GetFileAttributesA(destination);
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;
  return (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                        FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

bool set_delete_on_close(HANDLE file, bool remove) {
  FILE_DISPOSITION_INFO disposition = {};
  disposition.DeleteFile = remove ? TRUE : FALSE;
  return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) !=
         FALSE;
}

// The rename through the copy's own handle, so that nothing can come between the disposition
// being cleared and the replace. FILE_RENAME_INFO takes a wide path: the one the "A" file
// functions would make of the same bytes. A drive path goes in its NT form ("\??\C:\..."), which
// the system takes as it is whether or not it converts a DOS path first.
bool rename_over(HANDLE file, const char* destination) {
  constexpr int kMostChars = kCopyPathWidth + 4;
  WCHAR name[kMostChars] = L"\\??\\";
  int prefix = destination[0] != '\0' && destination[1] == ':' && destination[2] == '\\' ? 4 : 0;
  int count = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, destination, -1, name + prefix,
                                  kMostChars - prefix);
  if (count == 0) return false;
  const size_t name_bytes = static_cast<size_t>(prefix + count) * sizeof(WCHAR);
  alignas(FILE_RENAME_INFO) BYTE buffer[sizeof(FILE_RENAME_INFO) + sizeof name] = {};
  auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer);
  rename->ReplaceIfExists = TRUE;
  rename->RootDirectory = nullptr;
  rename->FileNameLength = static_cast<DWORD>(name_bytes - sizeof(WCHAR));  // without the NUL
  memcpy(buffer + offsetof(FILE_RENAME_INFO, FileName), name, name_bytes);
  return SetFileInformationByHandle(file, FileRenameInfo, rename, sizeof buffer) != FALSE;
}

// The temporary file beside the game file: made new under a name no file has yet, and marked at
// once for deletion when its handle closes, so that a run ended in the middle of the file (Esc,
// TerminateProcess, a logoff) leaves nothing behind; the system removes it with the handle.
class TemporaryFile {
 public:
  explicit TemporaryFile(const char* folder) {
    unsigned first = GetTickCount();
    for (unsigned i = 0; i < 0x10000 && !file_.valid(); ++i) {
      unsigned number = (first + i) & 0xFFFF;
      if (number == 0) continue;
      if (!make_temp_name(path_, sizeof path_, folder, number)) break;
      file_.reset(CreateFileA(path_, GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!file_.valid() && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    marked_ = file_.valid() && set_delete_on_close(file_.get(), true);
  }
  // A file system that takes no disposition gets the temporary deleted by its name instead.
  ~TemporaryFile() {
    bool remove = file_.valid() && !kept_ && !marked_;
    file_.reset(nullptr);
    if (remove) DeleteFileA(path_);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool valid() const { return file_.valid(); }
  HANDLE get() const { return file_.get(); }

  // Takes the game file's place; on failure it is marked for deletion again.
  bool replace(const char* destination) {
    if (marked_ && !set_delete_on_close(file_.get(), false)) return false;
    kept_ = rename_over(file_.get(), destination);
    if (!kept_ && marked_) set_delete_on_close(file_.get(), true);
    return kept_;
  }

 private:
  OwnedHandle file_{INVALID_HANDLE_VALUE};
  char path_[MAX_PATH] = "";
  bool marked_ = false;
  bool kept_ = false;
};

// The system's copy may stop early without saying so (a read error taken for the end of the
// file): a copy of another size than the source's is a failed copy.
CopyOutcome move_bytes(CopyJob* job, HANDLE from, HANDLE to, uint64_t size) {
  uint64_t done = 0;
  for (;;) {
    if (!job->in_place && job->cancel.load()) return CopyOutcome::cancelled;
    DWORD got = 0;
    if (!ReadFile(from, Chunk, kChunkBytes, &got, nullptr)) return CopyOutcome::read_failed;
    if (got == 0) break;
    DWORD put = 0;
    if (!WriteFile(to, Chunk, got, &put, nullptr) || put != got) return CopyOutcome::write_failed;
    done += got;
    job->done.store(done);
  }
  return done == size ? CopyOutcome::copied : CopyOutcome::wrong_size;
}

// What the system's copy carried beyond the bytes, and update-check relies on: the source's
// last-write time, and its attributes, less read-only (a disc's files are all read-only; the
// copy step has always left the game's copies writable). Set after the last write, which would
// change the time again.
void keep_source_times(HANDLE file, const BY_HANDLE_FILE_INFORMATION& source) {
  FILE_BASIC_INFO basic = {};
  basic.LastWriteTime.QuadPart =
      static_cast<LONGLONG>((static_cast<uint64_t>(source.ftLastWriteTime.dwHighDateTime) << 32) |
                            source.ftLastWriteTime.dwLowDateTime);
  basic.FileAttributes = source.dwFileAttributes &
                         (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
  SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic);
}

// The plain copy straight over the destination, for a folder with no room for a temporary name
// beside the file. The old file is not protected here, but a copy short of the source's size is
// still a failed copy. A destination of MAX_PATH bytes or more is refused as Windows refuses it.
CopyOutcome copy_in_place(CopyJob* job, HANDLE source, const BY_HANDLE_FILE_INFORMATION& info,
                          uint64_t size) {
  if (strlen(job->destination) >= MAX_PATH) return CopyOutcome::too_long;
  OwnedHandle destination(CreateFileA(job->destination, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!destination.valid()) return CopyOutcome::replace_failed;
  CopyOutcome outcome = move_bytes(job, source, destination.get(), size);
  if (outcome != CopyOutcome::copied) return outcome;
  keep_source_times(destination.get(), info);
  return FlushFileBuffers(destination.get()) ? CopyOutcome::copied : CopyOutcome::flush_failed;
}

// The copy returns once the data is in the cache; a rename can then reach the disk before the
// data does, and a power cut leaves the new name over zeros where the old file was: flushed
// first. A cancel that comes during the flush is still taken.
CopyOutcome copy_through_temporary(CopyJob* job, HANDLE source,
                                   const BY_HANDLE_FILE_INFORMATION& info, uint64_t size) {
  TemporaryFile temporary(job->folder);
  if (!temporary.valid()) return CopyOutcome::no_temporary;
  CopyOutcome outcome = move_bytes(job, source, temporary.get(), size);
  if (outcome != CopyOutcome::copied) return outcome;
  keep_source_times(temporary.get(), info);
  if (!FlushFileBuffers(temporary.get())) return CopyOutcome::flush_failed;
  // Committing first, then the cancel: a dialog that saw no commit may end the process, and this
  // job then sees its cancel and never clears the disposition.
  job->committing.store(true);
  if (job->cancel.load()) return CopyOutcome::cancelled;
  return temporary.replace(job->destination) ? CopyOutcome::copied : CopyOutcome::replace_failed;
}

}  // namespace

CopyOutcome copy_file_safely(CopyJob* job) {
  if (!is_replaceable(job->destination)) return CopyOutcome::refused;
  OwnedHandle source(CreateFileA(job->source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (!source.valid() || !GetFileInformationByHandle(source.get(), &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return CopyOutcome::source_unreadable;
  }
  const uint64_t size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  job->total.store(size);
  return job->in_place ? copy_in_place(job, source.get(), info, size)
                       : copy_through_temporary(job, source.get(), info, size);
}
