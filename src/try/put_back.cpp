// What a run of update-try puts back, however it ends; see put_back.h.
#include "put_back.h"

#include <windows.h>
#include <shlobj.h>

#include <filesystem>
#include <mutex>

#include "disc/console.h"
#include "disc/cp932_text.h"
#include "disc/system/files.h"
#include "drive/error.h"
#include "drive/registry.h"

namespace {

std::mutex& journal_mutex() {
  static std::mutex mutex;
  return mutex;
}

Journal Current;  // what the running run must put back; guarded by journal_mutex

std::filesystem::path state_folder() {
  wchar_t local[MAX_PATH] = L"";
  if (FAILED(
          SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, local))) {
    drive::fail("the user has no local application data folder");
  }
  std::filesystem::path folder = std::filesystem::path(local) / L"update-try";
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  return folder;
}

std::filesystem::path journal_path() {
  return state_folder() / L"journal.txt";
}

// Whole or not at all: written beside, flushed, then moved over the old one.
void write_journal(const Journal& journal) {
  std::filesystem::path path = journal_path();
  std::filesystem::path temporary = path;
  temporary += L".new";
  std::string text = journal_text(journal);
  HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) drive::fail("cannot write " + shown_path(temporary));
  DWORD written = 0;
  BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
            written == text.size() && FlushFileBuffers(file);
  CloseHandle(file);
  if (!ok || !MoveFileExW(temporary.c_str(), path.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    drive::fail("cannot write " + shown_path(path));
  }
}

// False when there is none; fails when there is one that can't be read.
bool read_journal(Journal* journal) {
  std::filesystem::path path = journal_path();
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return false;
    drive::fail("cannot read " + shown_path(path));
  }
  std::string text;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
    text.append(chunk, got);
  CloseHandle(file);
  if (!parse_journal(text, journal))
    drive::fail(shown_path(path) + " is not a journal update-try can read; it is left as it is");
  return true;
}

std::string type_name(uint32_t type) {
  switch (type) {
    case REG_SZ:
      return "REG_SZ";
    case REG_EXPAND_SZ:
      return "REG_EXPAND_SZ";
    case REG_MULTI_SZ:
      return "REG_MULTI_SZ";
    case REG_BINARY:
      return "REG_BINARY";
    case REG_DWORD:
      return "REG_DWORD";
    default:
      return "type " + std::to_string(type);
  }
}

// The value as a person reads it: a string's text, or the size of other data.
std::string shown_value(const SavedValue& v) {
  if (!v.present) return "no value";
  std::string text;
  if (v.type == REG_SZ || v.type == REG_EXPAND_SZ) {
    std::wstring wide(reinterpret_cast<const wchar_t*>(v.data.data()), v.data.size() / 2);
    wide.resize(wcsnlen(wide.c_str(), wide.size()));
    text = "\"" + std::filesystem::path(wide).u8string() + "\" ";
  }
  return text + "(" + type_name(v.type) + ", " + std::to_string(v.data.size()) + " bytes)";
}

std::string value_path(const SavedValue& v) {
  return printable("HKCU\\" + cp932_to_utf8(v.key) + "\\" + cp932_to_utf8(v.name));
}

// The value as it was, and the keys made since taken away again while they are empty.
void put_back_value(const SavedValue& v) {
  if (v.present) {
    drive::write_stored_value(v.key, drive::RegValue{v.name, v.type, v.data});
  } else {
    drive::delete_value(v.key, v.name);
  }
  std::vector<std::string> levels = key_levels(v.key);
  for (size_t i = levels.size(); i > static_cast<size_t>(v.existing_levels); --i) {
    if (!drive::delete_key_if_empty(levels[i - 1])) break;
  }
}

// Called with the lock held.
std::string put_back_locked(Journal* journal) {
  std::string said;
  std::vector<SavedValue> left;
  // Backwards: two entries of one key (the list's and the installer's, in other letter case)
  // both hold what was there before the first change.
  for (auto v = journal->values.rbegin(); v != journal->values.rend(); ++v) {
    try {
      put_back_value(*v);
      said += "registry: " + value_path(*v) + " put back: " + shown_value(*v) + "\n";
    } catch (const drive::DriverError& error) {
      said += "registry: " + value_path(*v) + " could not be put back (" + error.what() +
              "); the next start of update-try tries again\n";
      left.insert(left.begin(), *v);
    }
  }
  journal->values = left;
  return said;
}

// The copy a journal names, removed unless it was to be kept.
std::string remove_copy(const std::string& copy) {
  if (copy.empty()) return "";
  std::filesystem::path path = std::filesystem::u8path(copy);
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return "";
  if (!remove_tree(path))
    return "the copy of the game " + shown_path(path) + " could not be removed\n";
  return "the copy of the game " + shown_path(path) + " removed\n";
}

}  // namespace

bool take_state_lock(std::string* error) {
  std::filesystem::path lock = state_folder() / L"lock";
  // Never closed: Windows closes it, and deletes the file, when the process ends.
  HANDLE file = CreateFileW(lock.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file != INVALID_HANDLE_VALUE) return true;
  *error = GetLastError() == ERROR_SHARING_VIOLATION
               ? "another update-try of this user is running (it holds " + shown_path(lock) +
                     "): both would change the same registry values; let it end first"
               : "cannot make " + shown_path(lock);
  return false;
}

bool mend_left_journal(std::string* said, std::string* error) {
  std::lock_guard<std::mutex> lock(journal_mutex());
  try {
    Journal left;
    if (!read_journal(&left)) return true;
    *said = put_back_locked(&left);
    if (!left.values.empty()) {
      write_journal(left);
      *error = "a journal of an earlier run could not be acted on whole";
      return false;
    }
    *said += remove_copy(left.copy);
    DeleteFileW(journal_path().c_str());
    return true;
  } catch (const drive::DriverError& e) {
    *error = e.what();
    return false;
  }
}

SavedValue saved_value(const std::string& key, const std::string& name) {
  SavedValue v;
  v.key = key;
  v.name = name;
  for (const std::string& level : key_levels(key)) {
    if (drive::key_state(level) == drive::KeyState::missing) break;
    ++v.existing_levels;
  }
  drive::RegValue stored;
  v.present = drive::read_stored_value(key, name, &stored);
  if (v.present) {
    v.type = stored.type;
    v.data = stored.data;
  }
  return v;
}

void start_changes(const Journal& journal) {
  std::lock_guard<std::mutex> lock(journal_mutex());
  write_journal(journal);
  Current = journal;
}

std::string put_back_registry() {
  std::lock_guard<std::mutex> lock(journal_mutex());
  if (Current.values.empty()) return "";
  std::string said = put_back_locked(&Current);
  try {
    write_journal(Current);
  } catch (const drive::DriverError& error) {
    said += std::string(error.what()) + "\n";
  }
  return said;
}

void end_changes() {
  std::lock_guard<std::mutex> lock(journal_mutex());
  if (!Current.values.empty()) return;  // some could not be put back: the next start tries
  DeleteFileW(journal_path().c_str());
  Current = Journal();
}
