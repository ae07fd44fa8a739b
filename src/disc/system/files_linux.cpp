// The Linux half of files.h: POSIX descriptors, and the updater's own reader for the list.
#include "files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "setuplist/list_reader.h"

FILE* open_file(const std::string& path, const char* mode) {
  return fopen(path.c_str(), mode);
}

FILE* open_list_file(const std::filesystem::path& path) {
  return open_setup_list(path.c_str());
}

FileReader::FileReader(const std::string& path) : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}

FileReader::~FileReader() {
  if (fd_ >= 0) (void)close(fd_);
}

long FileReader::read(char* buffer, size_t size) {
  for (;;) {
    ssize_t got = ::read(fd_, buffer, size);
    if (got >= 0 || errno != EINTR) return static_cast<long>(got);
  }
}

bool remove_tree(const std::filesystem::path& path) {
  std::error_code ec;
  std::filesystem::remove_all(path, ec);
  return !ec;
}
