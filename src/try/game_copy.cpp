// The copy of the game folder a run updates; see game_copy.h.
#include "game_copy.h"

#include <windows.h>

#include "disc/console.h"
#include "handles.h"
#include "interrupt.h"

namespace {

// Where a path leads, links followed, in the system's own spelling; empty when it can't be told.
std::wstring final_path(const std::filesystem::path& path) {
  FileHandle handle(CreateFileW(path.c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle.ok()) return L"";
  std::wstring buffer(32768, L'\0');
  DWORD n = GetFinalPathNameByHandleW(handle.get(), buffer.data(), 32768, FILE_NAME_NORMALIZED);
  buffer.resize(n < 32768 ? n : 0);
  return buffer;
}

DWORD CALLBACK stop_on_interrupt(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD,
                                 DWORD, HANDLE, HANDLE, LPVOID) {
  return interrupted() ? PROGRESS_CANCEL : PROGRESS_CONTINUE;
}

class Copier {
 public:
  Copier(const std::filesystem::path& root, std::string* error)
      : root_final_(final_path(root)), error_(error) {}

  bool copy_folder(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (!CreateDirectoryExW(from.c_str(), to.c_str(), nullptr))
      return failed("cannot make the folder " + shown_path(to));
    WIN32_FIND_DATAW found;
    FolderSearch search((from / L"*").c_str(), &found);
    if (!search.ok()) return failed("cannot read the folder " + shown_path(from));
    bool ok = true;
    do {
      std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      ok = copy_entry(from / name, to / name, found.dwFileAttributes);
    } while (ok && search.next(&found));
    return ok;
  }

 private:
  bool copy_entry(const std::filesystem::path& from, const std::filesystem::path& to,
                  DWORD attributes) {
    stop_if_interrupted();
    bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && !link_stays_inside(from, folder))
      return false;
    if (folder) return copy_folder(from, to);
    BOOL cancel = FALSE;
    if (!CopyFileExW(from.c_str(), to.c_str(), stop_on_interrupt, nullptr, &cancel,
                     COPY_FILE_FAIL_IF_EXISTS)) {
      stop_if_interrupted();
      return failed("cannot copy " + shown_path(from) + " to " + shown_path(to) + " (error " +
                    std::to_string(GetLastError()) + ")");
    }
    return true;
  }

  bool link_stays_inside(const std::filesystem::path& link, bool folder) {
    std::wstring target = final_path(link);
    if (target.empty() || !path_lies_in(target, root_final_)) {
      return failed("the link " + shown_path(link) + " in the game folder leads outside it (to " +
                    (target.empty() ? std::string("nowhere") : shown_path(target)) + ")");
    }
    if (folder && path_lies_in(final_path(link.parent_path()), target)) {
      return failed("the link " + shown_path(link) +
                    " in the game folder leads to a folder that holds it");
    }
    return true;
  }

  bool failed(const std::string& why) {
    *error_ = why;
    return false;
  }

  std::wstring root_final_;
  std::string* error_;
};

}  // namespace

bool path_lies_in(const std::wstring& a, const std::wstring& b) {
  if (a.size() < b.size()) return false;
  if (CompareStringOrdinal(a.c_str(), static_cast<int>(b.size()), b.c_str(),
                           static_cast<int>(b.size()), TRUE) != CSTR_EQUAL) {
    return false;
  }
  return a.size() == b.size() || a[b.size()] == L'\\' || (!b.empty() && b.back() == L'\\');
}

bool copy_game(const std::filesystem::path& from, const std::filesystem::path& to,
               std::string* error) {
  return Copier(from, error).copy_folder(from, to);
}
