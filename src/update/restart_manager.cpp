// The Restart Manager, asked which programs hold some game files open.
#include "restart_manager.h"

#include <cstring>
#include <cwchar>

#include "exact_cp932.h"
#include "platform/win32.h"
#include "setuplist/text.h"

namespace {

constexpr UINT kJapaneseCodePage = 932;
constexpr int kProcessesMost = 32;

using StartSession = DWORD(WINAPI*)(DWORD*, DWORD, WCHAR*);
using RegisterResources = DWORD(WINAPI*)(DWORD, UINT, LPCWSTR*, UINT, RM_UNIQUE_PROCESS*, UINT,
                                         LPCWSTR*);
using GetList = DWORD(WINAPI*)(DWORD, UINT*, UINT*, RM_PROCESS_INFO*, LPDWORD);
using EndSession = DWORD(WINAPI*)(DWORD);

struct RestartManager {
  StartSession start;
  RegisterResources register_files;
  GetList get_list;
  EndSession end;
};

template <typename Function>
Function entry(HMODULE dll, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

// By its full path in the system folder, never by its bare name: the exe runs from a disc or a
// download folder, where a planted rstrtmgr.dll would otherwise be found first on a Windows
// without SetDefaultDllDirectories. LOAD_WITH_ALTERED_SEARCH_PATH makes the DLLs it needs in
// turn come from its own folder, the system folder, and never from the exe's: every Windows has
// the flag, where LOAD_LIBRARY_SEARCH_SYSTEM32 needs Windows 7's 2011 loader update. Loaded at
// run time, so the exe imports no more DLLs than before and still starts where the DLL is
// missing.
HMODULE load_from_system_folder() {
  char path[MAX_PATH];
  UINT length = GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH || !append_bounded(path, sizeof path, "\\rstrtmgr.dll")) {
    return nullptr;
  }
  return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// A name without an exact code page 932 form is left out rather than shown as another.
bool to_code_page_932(const WCHAR* name, char* out) {
  char bytes[CCH_RM_MAX_APP_NAME * 2 + 1];
  if (!exact_cp932(name, bytes, sizeof bytes)) return false;
  copy_cut_cp932(out, kProgramNameWidth, bytes);
  return true;
}

int collect_names(const RM_PROCESS_INFO* found, UINT given, char (*names)[kProgramNameWidth],
                  int most) {
  int count = 0;
  for (UINT i = 0; i < given && count < most; ++i) {
    WCHAR name[CCH_RM_MAX_APP_NAME + 1];
    wcsncpy(name, found[i].strAppName, CCH_RM_MAX_APP_NAME);
    name[CCH_RM_MAX_APP_NAME] = L'\0';
    if (!to_code_page_932(name, names[count])) continue;
    bool named_before = false;
    for (int j = 0; j < count; ++j)
      named_before = named_before || strcmp(names[j], names[count]) == 0;
    if (!named_before) ++count;
  }
  return count;
}

int ask(const RestartManager& rm, const char (*files)[260], int file_count,
        char (*names)[kProgramNameWidth], int most) {
  constexpr int kFilesMost = 16;
  WCHAR wide[kFilesMost][MAX_PATH];
  LPCWSTR list[kFilesMost];
  UINT listed = 0;
  for (int i = 0; i < file_count && listed < kFilesMost; ++i) {
    if (MultiByteToWideChar(kJapaneseCodePage, MB_ERR_INVALID_CHARS, files[i], -1, wide[listed],
                            MAX_PATH) != 0) {
      list[listed] = wide[listed];
      ++listed;
    }
  }
  DWORD session = 0;
  WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
  if (listed == 0 || rm.start(&session, 0, key) != ERROR_SUCCESS) return 0;
  static RM_PROCESS_INFO found[kProcessesMost];  // about 22 KB: kept off the stack
  UINT needed = 0;
  UINT given = kProcessesMost;
  DWORD reasons = 0;
  int count = 0;
  if (rm.register_files(session, listed, list, 0, nullptr, 0, nullptr) == ERROR_SUCCESS &&
      rm.get_list(session, &needed, &given, found, &reasons) == ERROR_SUCCESS) {
    count = collect_names(found, given < kProcessesMost ? given : kProcessesMost, names, most);
  }
  rm.end(session);
  return count;
}

}  // namespace

int programs_holding(const char (*files)[260], int file_count, char (*names)[kProgramNameWidth],
                     int most) {
  HMODULE dll = load_from_system_folder();
  if (dll == nullptr) return 0;
  RestartManager rm = {entry<StartSession>(dll, "RmStartSession"),
                       entry<RegisterResources>(dll, "RmRegisterResources"),
                       entry<GetList>(dll, "RmGetList"), entry<EndSession>(dll, "RmEndSession")};
  int count = 0;
  if (rm.start != nullptr && rm.register_files != nullptr && rm.get_list != nullptr &&
      rm.end != nullptr) {
    count = ask(rm, files, file_count, names, most);
  }
  FreeLibrary(dll);
  return count;
}
