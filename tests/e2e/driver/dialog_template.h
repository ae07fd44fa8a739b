// Reading update.exe's resources as Windows reads them: the dialog templates and the manifest,
// from the exe loaded as a data file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

struct DialogControl {
  int id;                  // the control id as the dialog manager takes it, so -1 stays -1
  std::string class_name;  // upper case; a predefined class given by atom is named
  uint32_t style;
  int x, y, width, height;
  std::string text;  // code page 932
};

struct DialogTemplate {
  uint32_t style;
  int x, y, width, height;
  std::string caption;  // code page 932
  int point_size;
  std::string font;  // code page 932
  std::vector<DialogControl> controls;
};

// The exe's resources, loaded as data: no code of it runs, and a 32-bit exe can be read from a
// 64-bit process.
class ResourceFile {
 public:
  explicit ResourceFile(const std::string& path);
  ~ResourceFile();
  ResourceFile(const ResourceFile&) = delete;
  ResourceFile& operator=(const ResourceFile&) = delete;

  static constexpr WORD kAnyLanguage = 0xFFFF;

  // The raw bytes of a resource in one language, or in the first it has; fails the test when
  // it is missing.
  std::string bytes(const char* type, const char* name, WORD language) const;
  DialogTemplate dialog(const char* name, WORD language) const;

 private:
  HMODULE module_;
};

// Parses a DIALOG or DIALOGEX template.
DialogTemplate parse_dialog(const std::string& bytes);

}  // namespace e2e
