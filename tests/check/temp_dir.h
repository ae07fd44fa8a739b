// A scratch folder for one test: the setup list and the medium's files are written into it, and it
// is removed with everything in it afterwards.
#pragma once

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <cstdint>
#include <string>

// A program's header as far as the security directory: MZ, PE, the file header's characteristics
// (0x22: an executable image), the optional header of magic (0x10B PE32, 0x20B PE32+) with
// `directories` entries, then a certificate of cert_type when cert_type is not 0, or an entry
// that points past the end of the file when it is -1.
inline std::string pe_image(uint16_t magic, size_t directories, int cert_type,
                            uint16_t characteristics = 0x22) {
  auto put = [](std::string* b, size_t at, uint32_t v, int bytes) {
    if (b->size() < at + static_cast<size_t>(bytes)) b->resize(at + static_cast<size_t>(bytes));
    for (int i = 0; i < bytes; ++i)
      (*b)[at + static_cast<size_t>(i)] = static_cast<char>(v >> (8 * i) & 0xFF);
  };
  size_t count_at = magic == 0x10B ? 92 : 108, optional = 0x40 + 24;
  std::string b = "MZ";
  put(&b, 0x3C, 0x40, 4);
  b += std::string("PE") + '\0' + '\0';
  put(&b, 0x40 + 20, static_cast<uint32_t>(count_at + 4 + 8 * directories), 2);
  put(&b, 0x40 + 22, characteristics, 2);
  put(&b, optional, magic, 2);
  put(&b, optional + count_at, static_cast<uint32_t>(directories), 4);
  size_t end = optional + count_at + 4 + 8 * directories, security = optional + count_at + 4 + 32;
  b.resize(end + 64);
  if (cert_type != 0 && directories > 4) {
    put(&b, security, static_cast<uint32_t>(b.size()), 4);
    put(&b, security + 4, cert_type < 0 ? 4096 : 16, 4);
    if (cert_type > 0) {
      size_t cert = b.size();
      put(&b, cert, 16, 4);  // dwLength, wRevision, wCertificateType, then the signature
      put(&b, cert + 4, 0x0200, 2);
      put(&b, cert + 6, static_cast<uint32_t>(cert_type), 2);
      put(&b, cert + 12, 0x30, 4);
    }
  }
  return b;
}

// A stand-in for the updater on a medium: a signed program's header, so that it draws no note.
inline std::string stand_in_update_exe() {
  return pe_image(0x20B, 16, 2);
}

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
