// The Linux half of file_copy.h: copy_file_range, which copies inside the kernel, and a sparse
// file's holes left holes.
#include "file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "interrupts.h"

namespace {

// At disk or page-cache speed a piece takes some milliseconds, well within the half
// second an interrupt may wait.
constexpr size_t kPiece = 4 << 20;
// What a read and write loop moves at a time where the kernel can't copy.
constexpr size_t kBuffer = 1 << 20;

const char kInterrupted[] = "interrupted";

// Closes the descriptor on every way out.
struct Descriptor {
  int fd;
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd >= 0) (void)close(fd);
  }
};

bool failed(const char* what, std::string* error) {
  *error = std::string(what) + ": " + strerror(errno);
  return false;
}

// Where the kernel can't copy between the two (another file system on an old kernel, a file
// system without the call), the bytes pass through a buffer.
bool copy_through_buffer(int in, int out, std::string* error, void (*on_piece)(uint64_t)) {
  std::vector<char> buffer(kBuffer);
  for (;;) {
    if (interrupt_pending()) {
      *error = kInterrupted;
      return false;
    }
    ssize_t got = read(in, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return failed("read", error);
    if (got == 0) return true;
    for (ssize_t put = 0; put < got;) {
      ssize_t n = write(out, buffer.data() + put, static_cast<size_t>(got - put));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return failed("write", error);
      put += n;
    }
    if (on_piece != nullptr) on_piece(static_cast<uint64_t>(got));
  }
}

// The kernel copies [from, to) of the file, in pieces an interrupt can come between. *refused:
// the kernel can't copy between the two, and nothing was written (*copied: whether anything was).
bool copy_range(int in, int out, off_t from, off_t to, bool* copied, bool* refused,
                std::string* error, void (*on_piece)(uint64_t)) {
  loff_t at_in = from;
  loff_t at_out = from;
  while (at_in < to) {
    if (interrupt_pending()) {
      *error = kInterrupted;
      return false;
    }
    auto want = static_cast<size_t>(std::min<loff_t>(to - at_in, kPiece));
    ssize_t n = copy_file_range(in, &at_in, out, &at_out, want, 0);
    if (n == 0) return true;  // the file ended early: the caller's look before and after tells
    if (n > 0) {
      *copied = true;
      if (on_piece != nullptr) on_piece(static_cast<uint64_t>(n));
      continue;
    }
    if (errno == EINTR) continue;
    *refused =
        !*copied && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP);
    if (!*refused) return failed("copy", error);
    return false;
  }
  return true;
}

// Only the file's data is copied and its holes are left holes, so a sparse file (a build's
// placeholder for an archive) stays sparse: the bytes read the same. A hole counts as copied
// for on_piece once the data after it is, so that a copy the kernel refuses, which starts again
// through a buffer, has counted nothing.
bool copy_data(int in, int out, bool* refused, std::string* error, void (*on_piece)(uint64_t)) {
  struct stat facts {};
  if (fstat(in, &facts) != 0) return failed("cannot read it", error);
  bool copied = false;
  off_t at = 0;
  while (at < facts.st_size) {
    off_t data = lseek(in, at, SEEK_DATA);
    if (data < 0 && errno == ENXIO) data = facts.st_size;  // a hole to the end
    if (data < 0) data = at;  // a file system that can't tell: all of it is data
    if (data >= facts.st_size) break;
    off_t hole = lseek(in, data, SEEK_HOLE);
    if (hole < 0) hole = facts.st_size;
    if (!copy_range(in, out, data, hole, &copied, refused, error, on_piece)) return false;
    if (data > at && on_piece != nullptr) on_piece(static_cast<uint64_t>(data - at));
    at = hole;
  }
  if (ftruncate(out, facts.st_size) != 0) return failed("write", error);
  if (at < facts.st_size && on_piece != nullptr)
    on_piece(static_cast<uint64_t>(facts.st_size - at));
  return true;
}

}  // namespace

bool copy_file_bytes(const std::filesystem::path& from, const std::filesystem::path& to,
                     std::string* error, void (*on_piece)(uint64_t)) {
  Descriptor in{open(from.c_str(), O_RDONLY | O_CLOEXEC)};
  if (in.fd < 0) return failed("cannot open it", error);
  Descriptor out{open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666)};
  if (out.fd < 0) return failed("cannot make the copy", error);
  bool refused = false;
  if (copy_data(in.fd, out.fd, &refused, error, on_piece)) return true;
  if (!refused) return false;
  if (lseek(in.fd, 0, SEEK_SET) != 0 || ftruncate(out.fd, 0) != 0) return failed("copy", error);
  return copy_through_buffer(in.fd, out.fd, error, on_piece);
}
