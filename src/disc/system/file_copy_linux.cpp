// The Linux half of file_copy.h: copy_file_range, which copies inside the kernel.
#include "file_copy.h"

#include <fcntl.h>
#include <unistd.h>

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

}  // namespace

bool copy_file_bytes(const std::filesystem::path& from, const std::filesystem::path& to,
                     std::string* error, void (*on_piece)(uint64_t)) {
  Descriptor in{open(from.c_str(), O_RDONLY | O_CLOEXEC)};
  if (in.fd < 0) return failed("cannot open it", error);
  Descriptor out{open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666)};
  if (out.fd < 0) return failed("cannot make the copy", error);
  for (bool first = true;; first = false) {
    if (interrupt_pending()) {
      *error = kInterrupted;
      return false;
    }
    ssize_t n = copy_file_range(in.fd, nullptr, out.fd, nullptr, kPiece, 0);
    if (n == 0) return true;
    if (n > 0) {
      if (on_piece != nullptr) on_piece(static_cast<uint64_t>(n));
      continue;
    }
    if (errno == EINTR) continue;
    if (first && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP))
      return copy_through_buffer(in.fd, out.fd, error, on_piece);
    return failed("copy", error);
  }
}
