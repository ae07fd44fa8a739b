// Reads the installer's key from the command line or from a file regedit exported.
#include "installer_key.h"

#include <cstdint>
#include <vector>

#include "disc/cp932_text.h"
#include "disc/names.h"

namespace {

bool starts_with_ascii_nocase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char a = text[i];
    char b = prefix[i];
    if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 'a' + 'A');
    if (a != b) return false;
  }
  return true;
}

// Regedit's "Unicode" export: UTF-16 LE. False at a lone surrogate or an odd byte.
bool utf16le_to_utf8(std::string_view bytes, std::string* out) {
  if (bytes.size() % 2 != 0) return false;
  auto unit = [&](size_t i) {
    return static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
  };
  for (size_t i = 0; i < bytes.size(); i += 2) {
    uint32_t c = unit(i);
    if (c >= 0xDC00 && c <= 0xDFFF) return false;
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 2 >= bytes.size()) return false;
      uint32_t low = unit(i + 2);
      if (low < 0xDC00 || low > 0xDFFF) return false;
      c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    }
    append_utf8(static_cast<char32_t>(c), out);
  }
  return true;
}

bool reg_text(std::string_view bytes, std::string* text, std::string* error) {
  if (bytes.substr(0, 2) == "\xFF\xFE") {
    if (utf16le_to_utf8(bytes.substr(2), text)) return true;
    *error = "the .reg file is not whole UTF-16";
    return false;
  }
  if (bytes.substr(0, 2) == "\xFE\xFF") {
    *error = "the .reg file is UTF-16 big-endian; regedit writes little-endian";
    return false;
  }
  Utf8Text decoded = decode_cp932(bytes);
  if (decoded.invalid_count != 0) {
    *error = "the .reg file is neither UTF-16 with a byte order mark nor code page 932 (byte " +
             std::to_string(decoded.first_invalid) + ")";
    return false;
  }
  *text = decoded.text;
  return true;
}

std::vector<std::string_view> lines_of(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
      line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

// The name of a value line, "NAME"=..., with regedit's \\ and \" undone; empty when the line
// names no value (the default value "@", a continued hex line, a comment).
std::string value_name(std::string_view line) {
  if (line.empty() || line[0] != '"') return {};
  std::string name;
  for (size_t i = 1; i < line.size(); ++i) {
    if (line[i] == '\\' && i + 1 < line.size()) {
      name += line[++i];
    } else if (line[i] == '"') {
      return line.substr(i + 1, 1) == "=" ? name : std::string();
    } else {
      name += line[i];
    }
  }
  return {};
}

bool is_gamepath(const std::string& name) {
  return name.size() == 8 && starts_with_ascii_nocase(name, "GAMEPATH");
}

}  // namespace

bool installer_key_from_text(std::string_view text, std::string* key, std::string* error) {
  for (std::string_view root : {"HKEY_CURRENT_USER\\", "HKCU\\"}) {
    if (starts_with_ascii_nocase(text, root)) {
      text.remove_prefix(root.size());
      break;
    }
  }
  if (text.empty()) {
    *error = "the installer's key is empty";
    return false;
  }
  if (text.front() == '\\' || text.back() == '\\' || text.find("\\\\") != std::string_view::npos) {
    *error = "the installer's key " + std::string(text) +
             " has an empty part (a doubled, leading or trailing backslash)";
    return false;
  }
  Cp932Text cp932 = utf8_to_cp932(text);
  if (!cp932.ok()) {
    *error = "the installer's key " + std::string(text) + " has " + cp932_failure(cp932) +
             ": the updater, which reads the registry in code page 932, can't open it";
    return false;
  }
  *key = text;
  return true;
}

bool installer_key_from_reg(std::string_view bytes, std::string* key, std::string* error) {
  std::string text;
  if (!reg_text(bytes, &text, error)) return false;
  std::vector<std::string_view> lines = lines_of(text);
  size_t first = 0;
  while (first < lines.size() && lines[first].empty())
    ++first;
  if (first == lines.size() ||
      (lines[first] != "Windows Registry Editor Version 5.00" && lines[first] != "REGEDIT4")) {
    *error =
        "not a file regedit exported (its first line is neither \"Windows Registry Editor "
        "Version 5.00\" nor \"REGEDIT4\")";
    return false;
  }
  std::vector<std::string> found;
  std::string section;  // below HKEY_CURRENT_USER; empty in any other hive or a deletion
  for (size_t i = first + 1; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      std::string_view name = line.substr(1, line.size() - 2);
      section.clear();
      if (starts_with_ascii_nocase(name, "HKEY_CURRENT_USER\\"))
        section = name.substr(sizeof "HKEY_CURRENT_USER\\" - 1);
    } else if (!section.empty() && is_gamepath(value_name(line))) {
      found.push_back(section);
    }
  }
  if (found.empty()) {
    *error = "the .reg file sets no value GAMEPATH under HKEY_CURRENT_USER";
    return false;
  }
  if (found.size() > 1) {
    *error = "the .reg file sets GAMEPATH under more than one key:";
    for (const std::string& each : found)
      *error += " HKEY_CURRENT_USER\\" + each;
    return false;
  }
  return installer_key_from_text(found[0], key, error);
}

void check_installer_key(const std::string& key, CheckReport* report) {
  std::string list_key;
  std::string title_old;
  for (const RecordField& field : report->record) {
    if (std::string_view(field.key) == "REG_KEY") list_key = field.value;
    if (std::string_view(field.key) == "TITLE_OLD") title_old = field.value;
  }
  if (upper_case_utf8(list_key) == upper_case_utf8(key)) return;
  report->problems.insert(report->problems.begin(),
                          {0, ProblemKind::registry_key,
                           "the list's key HKEY_CURRENT_USER\\" + list_key +
                               " is not the one the game's installer writes, HKEY_CURRENT_USER\\" +
                               key + ": the updater finds no GAMEPATH, and every player gets \"" +
                               title_old + u8"がインストールされていません\""});
}
