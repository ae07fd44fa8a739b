// A scratch folder for one test: the setup list and the medium's files are written into it, and it
// is removed with everything in it afterwards.
#pragma once

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class TempDir {
 public:
  // Made by a call that fails when the name is taken, so parallel test processes never share one.
  TempDir() {
    std::filesystem::path base = std::filesystem::temp_directory_path();
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (unsigned n = 0; n < 1000; ++n) {
      path_ = base / ("update-check-" + std::to_string(stamp) + "-" + std::to_string(n));
      std::error_code error;
      if (std::filesystem::create_directory(path_, error)) return;
    }
    std::abort();
  }
  // Windows deletes no read-only file: the flags that tests set go first.
  ~TempDir() {
    std::error_code ignored;
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_write,
                                   std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }

  // relative is a UTF-8 path with '/' separators; its folders are made as needed.
  void write(const std::string& relative, const std::string& bytes) const {
    std::filesystem::path file = path_ / std::filesystem::u8path(relative);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
  }

 private:
  std::filesystem::path path_;
};
