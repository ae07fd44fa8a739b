// Faults a player's machine can put in the way of the copy: a file the running game holds, a file
// nobody may read, a Unix file that reads short of its size, a disk with little room left.
#include "faults.h"

#include <cctype>

#include "environment.h"
#include "files.h"

namespace e2e {

HeldFile::HeldFile(const std::string& path, DWORD access, DWORD share)
    : file_(CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                        nullptr)) {
  if (file_ == INVALID_HANDLE_VALUE)
    fail("cannot hold " + path + " (error " + std::to_string(GetLastError()) + ")");
}

HeldFile::~HeldFile() {
  CloseHandle(file_);
}

void deny_all_access(const std::string& path) {
  ACL empty;
  SECURITY_DESCRIPTOR descriptor;
  if (!InitializeAcl(&empty, sizeof empty, ACL_REVISION) ||
      !InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
      !SetSecurityDescriptorDacl(&descriptor, TRUE, &empty, FALSE) ||
      !SetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, &descriptor)) {
    fail("cannot take the access rights of " + path);
  }
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    fail(path + " can still be read after its access rights were taken");
  }
}

std::string unix_path_of(const std::string& path) {
  using ToUnix = char* (*)(const WCHAR*);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  auto to_unix = kernel == nullptr ? nullptr
                                   : reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
                                         GetProcAddress(kernel, "wine_get_unix_file_name")));
  WCHAR wide[MAX_PATH * 4];
  if (to_unix == nullptr ||
      MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH * 4) == 0) {
    return std::string();
  }
  char* unix_name = to_unix(wide);  // UTF-8, from the process heap
  if (unix_name == nullptr) return std::string();
  std::string result = unix_name;
  HeapFree(GetProcessHeap(), 0, unix_name);
  return result;
}

void make_unix_symlink(const std::string& link, const std::string& unix_target) {
  std::string unix_link = unix_path_of(link);
  if (unix_link.empty()) fail("no Unix path for " + link);
  std::string command_line = "/bin/ln -s \"" + unix_target + "\" \"" + unix_link + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA("Z:\\bin\\ln", command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    fail("cannot start /bin/ln (error " + std::to_string(GetLastError()) + ")");
  }
  if (process.hThread != nullptr) CloseHandle(process.hThread);
  if (process.hProcess != nullptr) CloseHandle(process.hProcess);
  ULONGLONG deadline = GetTickCount64() + 10000;
  while (!file_exists(link)) {
    if (GetTickCount64() > deadline) fail("/bin/ln made no link at " + link);
    Sleep(10);
  }
}

namespace {

bool is_temp_name(const std::string& relative) {
  size_t slash = relative.find_last_of('\\');
  std::string name = relative.substr(slash == std::string::npos ? 0 : slash + 1);
  for (char& c : name)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name.size() >= 7 && name.compare(0, 3, "upd") == 0 &&
         name.compare(name.size() - 4, 4, ".tmp") == 0;
}

}  // namespace

std::vector<std::string> temp_files_below(const std::string& folder) {
  std::vector<std::string> found;
  for (const std::string& name : files_below(folder)) {
    if (is_temp_name(name)) found.push_back(name);
  }
  return found;
}

unsigned long long free_bytes(const std::string& path) {
  ULARGE_INTEGER available;
  if (!GetDiskFreeSpaceExA(path.c_str(), &available, nullptr, nullptr))
    fail("cannot read the free space of " + path);
  return available.QuadPart;
}

}  // namespace e2e
