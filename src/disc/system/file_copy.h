// Copying a file's bytes in pieces that an interrupt can come between (update-make's copy into
// its temporaries): copy_file_range on Linux, which copies inside the kernel; ReadFile and
// WriteFile on Windows.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// Copies the bytes of from into to (made, or emptied first), a piece at a time, and stops between
// two pieces once an interrupt is pending (interrupt_pending): a file of gigabytes then holds an
// interrupt for some milliseconds, not for the whole copy. Only the bytes: the caller sets the
// copy's permissions and time. False, with the reason in *error, when it fails or is interrupted.
// on_piece, when given, is told the bytes of each piece copied.
bool copy_file_bytes(const std::filesystem::path& from, const std::filesystem::path& to,
                     std::string* error, void (*on_piece)(uint64_t bytes) = nullptr);
