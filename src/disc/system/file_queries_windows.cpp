// The Windows half of file_queries.h: GetFileAttributesExW and FindFirstFileW.
#include "file_queries.h"

#include "wide_text_windows.h"

PathFacts path_facts(const std::string& path) {
  PathFacts facts;
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!GetFileAttributesExW(widen(path).c_str(), GetFileExInfoStandard, &info)) return facts;
  DWORD a = info.dwFileAttributes;
  facts.exists = true;
  facts.folder = (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
  facts.file = !facts.folder;
  facts.size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  facts.read_only = (a & FILE_ATTRIBUTE_READONLY) != 0;
  facts.hidden = (a & FILE_ATTRIBUTE_HIDDEN) != 0;
  facts.system = (a & FILE_ATTRIBUTE_SYSTEM) != 0;
  return facts;
}

EntryFacts entry_facts(const std::string& path) {
  EntryFacts facts;
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!GetFileAttributesExW(widen(path).c_str(), GetFileExInfoStandard, &info)) return facts;
  facts.exists = true;
  facts.folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  facts.file = !facts.folder;
  facts.size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  // 100 ns steps since 1601.
  uint64_t ticks = (static_cast<uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                   info.ftLastWriteTime.dwLowDateTime;
  facts.modified = std::filesystem::file_time_type(
      std::chrono::duration_cast<std::filesystem::file_time_type::duration>(
          std::chrono::nanoseconds(static_cast<int64_t>(ticks) * 100)));
  return facts;
}

bool folder_entries(const std::string& dir, std::vector<FolderEntry>* entries, std::string* error) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((widen(dir) + L"\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) {
    *error = "error " + std::to_string(GetLastError());
    return false;
  }
  do {
    std::string name = narrow_utf8(found.cFileName);
    bool link = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    // Asked of the file itself: NTFS may keep a listing's size and time behind a file still open.
    if (name != "." && name != "..")
      entries->push_back({name, link, entry_facts(dir + "\\" + name)});
  } while (FindNextFileW(find, &found));
  DWORD last = GetLastError();
  FindClose(find);
  if (last != ERROR_NO_MORE_FILES) {
    *error = "error " + std::to_string(last);
    return false;
  }
  return true;
}

std::vector<std::string> folder_names(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((widen(dir) + L"\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = narrow_utf8(found.cFileName);
    if (!name.empty() && name != "." && name != "..") names.push_back(name);
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return names;
}
