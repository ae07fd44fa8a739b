// The game's copy, file by file; see game_listing.h.
#include "game_listing.h"

#include <windows.h>
#include <wincrypt.h>

#include <algorithm>
#include <cstdio>

#include "handles.h"
#include "interrupt.h"

namespace {

// The system's own MD5 (CryptoAPI, in advapi32).
class Md5 {
 public:
  Md5() {
    if (CryptAcquireContextW(&provider_, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT))
      CryptCreateHash(provider_, CALG_MD5, 0, 0, &hash_);
  }
  ~Md5() {
    if (hash_ != 0) CryptDestroyHash(hash_);
    if (provider_ != 0) CryptReleaseContext(provider_, 0);
  }
  Md5(const Md5&) = delete;
  Md5& operator=(const Md5&) = delete;

  bool add(const char* bytes, DWORD size) {
    return hash_ != 0 && CryptHashData(hash_, reinterpret_cast<const BYTE*>(bytes), size, 0);
  }
  std::string hex() {
    BYTE digest[16];
    DWORD size = sizeof digest;
    if (hash_ == 0 || !CryptGetHashParam(hash_, HP_HASHVAL, digest, &size, 0)) return "";
    std::string out;
    char cell[3];
    for (DWORD i = 0; i < size; ++i) {
      (void)snprintf(cell, sizeof cell, "%02x", digest[i]);
      out += cell;
    }
    return out;
  }

 private:
  HCRYPTPROV provider_ = 0;
  HCRYPTHASH hash_ = 0;
};

std::string utf8_of(const std::wstring& wide) {
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

// The MD5 and the file index of one file, read through one handle.
void read_file_facts(const std::filesystem::path& path, ListingEntry* entry) {
  entry->md5 = "unreadable";
  FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.ok()) return;
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileInformationByHandle(file.get(), &info)) {
    char id[40];
    (void)snprintf(id, sizeof id, "%08lx-%08lx%08lx", info.dwVolumeSerialNumber,
                   info.nFileIndexHigh, info.nFileIndexLow);
    entry->id = id;
  }
  Md5 md5;
  static char chunk[1 << 20];
  DWORD got = 0;
  bool ok = true;
  while (ok && ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) {
    stop_if_interrupted();
    ok = md5.add(chunk, got);
  }
  if (ok) entry->md5 = md5.hex();
}

void list_below(const std::filesystem::path& folder, const std::wstring& prefix, Listing* out) {
  WIN32_FIND_DATAW found;
  FolderSearch search((folder / L"*").c_str(), &found);
  if (!search.ok()) return;
  do {
    std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      list_below(folder / name, prefix + name + L"\\", out);
      continue;
    }
    ListingEntry entry;
    entry.name = utf8_of(prefix + name);
    entry.size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    entry.read_only = (found.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    read_file_facts(folder / name, &entry);
    out->push_back(entry);
  } while (search.next(&found));
}

}  // namespace

Listing list_game(const std::filesystem::path& folder) {
  Listing listing;
  list_below(folder, L"", &listing);
  std::sort(listing.begin(), listing.end(),
            [](const ListingEntry& a, const ListingEntry& b) { return a.name < b.name; });
  return listing;
}
