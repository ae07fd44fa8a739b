// The Windows half of files.h: the wide runtime functions.
#include "files.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>

#include "wide_text_windows.h"

FILE* open_file(const std::string& path, const char* mode) {
  return _wfopen(widen(path).c_str(), widen(mode).c_str());
}

FILE* open_list_file(const std::filesystem::path& path) {
  return _wfopen(path.c_str(), L"rt");
}

FileReader::FileReader(const std::string& path)
    : fd_(_wopen(widen(path).c_str(), _O_RDONLY | _O_BINARY)) {}

FileReader::~FileReader() {
  if (fd_ >= 0) (void)_close(fd_);
}

long FileReader::read(char* buffer, size_t size) {
  return _read(fd_, buffer, static_cast<unsigned>(std::min<size_t>(size, 1u << 30)));
}

bool remove_tree(const std::filesystem::path& path) {
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(path, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    (void)SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  (void)SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  ec.clear();
  std::filesystem::remove_all(path, ec);
  return !ec;
}
