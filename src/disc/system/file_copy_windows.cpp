// The Windows half of file_copy.h: a ReadFile and WriteFile loop.
#include "file_copy.h"

#include <windows.h>

#include <vector>

#include "interrupts.h"

namespace {

// What the loop moves at a time: at disk speed some milliseconds, well within the half second an
// interrupt may wait.
constexpr size_t kBuffer = 1 << 20;

const char kInterrupted[] = "interrupted";

// Closes the handle on every way out.
struct Handle {
  HANDLE h;
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

bool copy_pieces(HANDLE in, HANDLE out, std::string* error, void (*on_piece)(uint64_t)) {
  std::vector<char> buffer(kBuffer);
  for (;;) {
    if (interrupt_pending()) {
      *error = kInterrupted;
      return false;
    }
    DWORD got = 0;
    if (!ReadFile(in, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
      *error = "read error " + std::to_string(GetLastError());
      return false;
    }
    if (got == 0) return true;
    DWORD put = 0;
    if (!WriteFile(out, buffer.data(), got, &put, nullptr) || put != got) {
      *error = "write error " + std::to_string(GetLastError());
      return false;
    }
    if (on_piece != nullptr) on_piece(got);
  }
}

}  // namespace

bool copy_file_bytes(const std::filesystem::path& from, const std::filesystem::path& to,
                     std::string* error, void (*on_piece)(uint64_t)) {
  Handle in{CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_FLAG_SEQUENTIAL_SCAN, nullptr)};
  if (in.h == INVALID_HANDLE_VALUE) {
    *error = "cannot open it (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  Handle out{CreateFileW(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (out.h == INVALID_HANDLE_VALUE) {
    *error = "cannot make the copy (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  return copy_pieces(in.h, out.h, error, on_piece);
}
