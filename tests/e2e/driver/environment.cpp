// Where the harness put things: the exes under test, the work folder and the screenshot folder.
#include "environment.h"

#include <windows.h>

namespace e2e {

std::string path_from_env(const char* name) {
  char value[MAX_PATH * 4];
  DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
  if (n == 0 || n >= sizeof value) return std::string();
  return std::string(value, n);
}

namespace {

std::string required(const char* name) {
  std::string value = path_from_env(name);
  if (value.empty())
    fail(std::string(name) + " is not set: run the driver through tests/e2e/harness");
  return value;
}

}  // namespace

std::string update_exe() {
  return required("E2E_UPDATE_EXE");
}
std::string work_folder() {
  return required("E2E_WORK");
}
std::string shots_folder() {
  return path_from_env("E2E_SHOTS");
}
std::string plant_dll() {
  return required("E2E_PLANT_DLL");
}

bool code_page_is_932() {
  return GetACP() == 932;
}

bool system_locale_is_japanese() {
  return PRIMARYLANGID(GetSystemDefaultLangID()) == LANG_JAPANESE;
}

}  // namespace e2e
