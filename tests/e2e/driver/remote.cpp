// Memory inside update.exe, for the messages whose lParam is a pointer.
#include "remote.h"

#include "environment.h"

namespace e2e {

namespace {

constexpr UINT kAnswerTimeoutMs = 5000;

}  // namespace

RemoteMemory::RemoteMemory(DWORD process_id, size_t size) : size_(size) {
  process_ =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id);
  if (process_ == nullptr) {
    fail("cannot open update.exe's memory (error " + std::to_string(GetLastError()) + ")");
  }
  // Fresh pages come zero-filled.
  address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (address_ == nullptr) {
    CloseHandle(process_);
    fail("cannot allocate memory in update.exe (error " + std::to_string(GetLastError()) + ")");
  }
}

RemoteMemory::RemoteMemory(DWORD process_id, const std::string& text)
    : RemoteMemory(process_id, text.size() + 1) {
  write(0, text.data(), text.size());
}

RemoteMemory::~RemoteMemory() {
  VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  CloseHandle(process_);
}

void RemoteMemory::write(size_t offset, const void* bytes, size_t size) {
  SIZE_T written = 0;
  if (offset + size > size_ ||
      !WriteProcessMemory(process_, static_cast<char*>(address_) + offset, bytes, size, &written) ||
      written != size) {
    fail("cannot write update.exe's memory");
  }
}

std::string RemoteMemory::read(size_t offset, size_t size) const {
  std::string bytes(size, '\0');
  SIZE_T got = 0;
  if (offset + size > size_ ||
      !ReadProcessMemory(process_, static_cast<char*>(address_) + offset, bytes.data(), size,
                         &got) ||
      got != size) {
    fail("cannot read update.exe's memory");
  }
  return bytes;
}

LRESULT send_to(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, message, wparam, lparam, SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                           &result)) {
    fail("no answer to message " + std::to_string(message) +
         ": the program does not process "
         "its messages");
  }
  return static_cast<LRESULT>(result);
}

}  // namespace e2e
