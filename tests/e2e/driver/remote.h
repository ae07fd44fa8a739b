// Memory inside update.exe, for the messages whose lParam is a pointer that the receiving window
// reads or fills: the dialog manager carries the pointer across unchanged, so it must be valid
// in the receiver's address space, not in the driver's.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

class RemoteMemory {
 public:
  // Allocates size bytes, zero-filled, in the process; fails the test when it cannot.
  RemoteMemory(DWORD process_id, size_t size);
  // Allocates room for the bytes and their terminating zero, and writes them.
  RemoteMemory(DWORD process_id, const std::string& text);
  ~RemoteMemory();
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;

  LPARAM address() const { return reinterpret_cast<LPARAM>(address_); }
  void write(size_t offset, const void* bytes, size_t size);
  std::string read(size_t offset, size_t size) const;

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
  size_t size_ = 0;
};

// Sends a message whose lParam points into the receiver's memory; fails the test when the
// window does not answer. Returns the window's result.
LRESULT send_to(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace e2e
