// Reading update.exe's resources as Windows reads them: the dialog templates and the manifest,
// from the exe loaded as a data file.
#include "dialog_template.h"

#include <cctype>

#include "environment.h"

namespace e2e {

namespace {

std::string cp932_of(const std::wstring& wide) {
  int n = WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string text(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n, nullptr,
                      nullptr);
  return text;
}

// Walks a template: WORDs, DWORDs, strings and ordinals, with the alignment rules of the format.
class Reader {
 public:
  explicit Reader(const std::string& bytes) : bytes_(bytes) {}

  uint16_t word() {
    if (at_ + 2 > bytes_.size()) fail("the dialog template ends too early");
    uint16_t value = static_cast<uint8_t>(bytes_[at_]) | static_cast<uint8_t>(bytes_[at_ + 1]) << 8;
    at_ += 2;
    return value;
  }
  uint32_t dword() { return word() | static_cast<uint32_t>(word()) << 16; }
  int16_t coordinate() { return static_cast<int16_t>(word()); }
  void align_dword() { at_ = (at_ + 3) & ~static_cast<size_t>(3); }

  std::wstring wide_string() {
    std::wstring text;
    for (uint16_t c = word(); c != 0; c = word())
      text.push_back(static_cast<wchar_t>(c));
    return text;
  }

  // A string, or 0xFFFF and an ordinal, which comes back as "#<number>".
  std::string string_or_ordinal() {
    uint16_t first = word();
    if (first == 0xFFFF) return "#" + std::to_string(word());
    std::wstring text;
    for (uint16_t c = first; c != 0; c = word())
      text.push_back(static_cast<wchar_t>(c));
    return cp932_of(text);
  }

 private:
  const std::string& bytes_;
  size_t at_ = 0;
};

// The predefined classes the dialog manager knows by atom.
std::string class_name_of(const std::string& raw) {
  if (raw == "#128") return "BUTTON";
  if (raw == "#129") return "EDIT";
  if (raw == "#130") return "STATIC";
  if (raw == "#131") return "LISTBOX";
  if (raw == "#132") return "SCROLLBAR";
  if (raw == "#133") return "COMBOBOX";
  std::string upper = raw;
  for (char& c : upper)
    c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return upper;
}

DialogControl read_control(Reader& in, bool extended) {
  in.align_dword();
  DialogControl control{};
  if (extended) {
    in.dword();  // help id
    in.dword();  // extended style
    control.style = in.dword();
  } else {
    control.style = in.dword();
    in.dword();  // extended style
  }
  control.x = in.coordinate();
  control.y = in.coordinate();
  control.width = in.coordinate();
  control.height = in.coordinate();
  control.id = static_cast<int16_t>(extended ? in.dword() : in.word());
  control.class_name = class_name_of(in.string_or_ordinal());
  control.text = in.string_or_ordinal();
  uint16_t extra = in.word();
  for (uint16_t i = 0; i < extra; i += 2)
    in.word();
  return control;
}

}  // namespace

DialogTemplate parse_dialog(const std::string& bytes) {
  // A DIALOGEX template begins with version 1 and the signature 0xFFFF.
  bool extended = bytes.compare(0, 4, std::string("\x01\x00\xFF\xFF", 4)) == 0;
  Reader in(bytes);
  DialogTemplate dialog{};
  if (extended) {
    in.dword();  // version and signature
    in.dword();  // help id
    in.dword();  // extended style
    dialog.style = in.dword();
  } else {
    dialog.style = in.dword();
    in.dword();  // extended style
  }
  int count = in.word();
  dialog.x = in.coordinate();
  dialog.y = in.coordinate();
  dialog.width = in.coordinate();
  dialog.height = in.coordinate();
  in.string_or_ordinal();  // menu
  in.string_or_ordinal();  // window class
  dialog.caption = cp932_of(in.wide_string());
  if (dialog.style & DS_SETFONT) {
    dialog.point_size = in.word();
    if (extended) in.dword();  // weight, italic, charset
    dialog.font = cp932_of(in.wide_string());
  }
  for (int i = 0; i < count; ++i)
    dialog.controls.push_back(read_control(in, extended));
  return dialog;
}

ResourceFile::ResourceFile(const std::string& path)
    : module_(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
  if (module_ == nullptr) {
    fail("cannot load " + path + " as a data file (error " + std::to_string(GetLastError()) + ")");
  }
}

ResourceFile::~ResourceFile() {
  FreeLibrary(module_);
}

namespace {

BOOL CALLBACK take_first_language(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found) {
  *reinterpret_cast<WORD*>(found) = language;
  return FALSE;
}

}  // namespace

std::string ResourceFile::bytes(const char* type, const char* name, WORD language) const {
  if (language == kAnyLanguage) {
    EnumResourceLanguagesA(module_, type, name, take_first_language,
                           reinterpret_cast<LONG_PTR>(&language));
  }
  HRSRC found = FindResourceExA(module_, type, name, language);
  if (found == nullptr) fail("no such resource in language " + std::to_string(language));
  HGLOBAL loaded = LoadResource(module_, found);
  auto data = static_cast<const char*>(LockResource(loaded));
  return std::string(data, SizeofResource(module_, found));
}

DialogTemplate ResourceFile::dialog(const char* name, WORD language) const {
  return parse_dialog(bytes(MAKEINTRESOURCEA(5), name, language));  // RT_DIALOG
}

}  // namespace e2e
