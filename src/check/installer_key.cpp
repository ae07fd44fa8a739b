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

// The file's text as UTF-8; *unicode tells whether it was UTF-16, which is also the encoding of
// its hex(2) and hex(7) strings (code page 932 in a REGEDIT4 file).
bool reg_text(std::string_view bytes, std::string* text, bool* unicode, std::string* error) {
  *unicode = bytes.substr(0, 2) == "\xFF\xFE";
  if (*unicode) {
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

// A value line, "NAME"=DATA, with regedit's \\ and \" undone in the name.
struct RegValue {
  std::string name;  // empty when the line names no value (the default value "@", a comment)
  std::string data;  // all after the '=', hex lines continued with '\' joined
};

RegValue value_of(std::string_view line) {
  if (line.empty() || line[0] != '"') return {};
  std::string name;
  for (size_t i = 1; i < line.size(); ++i) {
    if (line[i] == '\\' && i + 1 < line.size()) {
      name += line[++i];
    } else if (line[i] == '"') {
      if (line.substr(i + 1, 1) != "=") return {};
      return {name, std::string(line.substr(i + 2))};
    } else {
      name += line[i];
    }
  }
  return {};
}

// "hex(2)" of "hex(2):25,00", "dword" of "dword:00000001"; empty for a string ("..."), "-" for a
// deletion.
std::string type_of(const std::string& data) {
  if (data.empty() || data[0] == '"') return "";
  if (data == "-") return "-";
  return data.substr(0, data.find(':'));
}

// The bytes of a hex value, "25,00,50,00".
std::string hex_bytes(const std::string& data) {
  std::string bytes;
  size_t colon = data.find(':');
  std::string_view list = std::string_view(data).substr(colon == std::string::npos ? 0 : colon + 1);
  while (!list.empty()) {
    size_t comma = list.find(',');
    std::string one(list.substr(0, comma));
    char* end = nullptr;
    unsigned long value = strtoul(one.c_str(), &end, 16);
    if (!one.empty() && *end == '\0' && value <= 0xFF) bytes += static_cast<char>(value);
    list.remove_prefix(comma == std::string_view::npos ? list.size() : comma + 1);
  }
  return bytes;
}

// An expandable string's text up to its terminator, as the updater gets it.
std::string expandable_text(const std::string& data, bool unicode) {
  std::string bytes = hex_bytes(data);
  std::string text;
  if (unicode) {
    size_t end = 0;
    while (end + 1 < bytes.size() && (bytes[end] != '\0' || bytes[end + 1] != '\0'))
      end += 2;
    if (!utf16le_to_utf8(std::string_view(bytes).substr(0, end), &text)) return "";
    return text;
  }
  return cp932_to_utf8(bytes.substr(0, bytes.find('\0')));
}

bool is_gamepath(const std::string& name) {
  return name.size() == 8 && starts_with_ascii_nocase(name, "GAMEPATH");
}

// The roots a key can be named below, in full and short.
struct Root {
  const char* full;
  const char* short_name;
};
constexpr Root kRoots[] = {{"HKEY_CURRENT_USER", "HKCU"},
                           {"HKEY_LOCAL_MACHINE", "HKLM"},
                           {"HKEY_USERS", "HKU"},
                           {"HKEY_CLASSES_ROOT", "HKCR"},
                           {"HKEY_CURRENT_CONFIG", "HKCC"}};
constexpr char kCurrentUser[] = "HKEY_CURRENT_USER";

// The root the text begins with (and its backslash), taken off the text; empty when none.
std::string take_root(std::string_view* text) {
  for (const Root& root : kRoots) {
    for (std::string_view name : {root.full, root.short_name}) {
      if (text->size() > name.size() && (*text)[name.size()] == '\\' &&
          starts_with_ascii_nocase(*text, name)) {
        text->remove_prefix(name.size() + 1);
        return root.full;
      }
    }
  }
  return "";
}

// The message a player gets when the updater finds no folder.
std::string not_installed(const std::string& title_old) {
  return "\"" + (title_old.empty() ? "TITLE_OLD" : title_old) + u8"がインストールされていません\"";
}

std::string full_key(const InstallerKey& key) {
  return key.root + "\\" + key.key;
}

// How a type reads in a message.
std::string type_words(const std::string& type) {
  if (type == "dword") return "a number (dword)";
  if (type == "hex(b)") return "a number (hex(b), a qword)";
  if (type == "hex") return "binary data (hex)";
  return "data of type " + type;
}

}  // namespace

bool installer_key_from_text(std::string_view text, InstallerKey* key, std::string* error) {
  // cmd keeps single quotes in an argument: --key 'HKCU\...' would name a key no installer
  // writes, and every list would seem to name another.
  if (text.size() >= 2 && text.front() == '\'' && text.back() == '\'') {
    *error = "the installer's key " + std::string(text) +
             " is in single quotes, which cmd keeps as part of it: quote it with double quotes";
    return false;
  }
  std::string root = take_root(&text);
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
  key->root = root.empty() ? kCurrentUser : root;
  key->key = text;
  return true;
}

bool installer_key_from_reg(std::string_view bytes, InstallerKey* key, std::string* error) {
  std::string text;
  bool unicode = false;
  if (!reg_text(bytes, &text, &unicode, error)) return false;
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
  std::vector<InstallerKey> found;
  std::string section;  // the key, with its root; empty in a deletion or an unknown root
  for (size_t i = first + 1; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
      continue;
    }
    RegValue value = value_of(line);
    while (!value.data.empty() && value.data.back() == '\\' && i + 1 < lines.size()) {
      value.data.pop_back();  // a hex value goes on, indented, on the next line
      std::string_view next = lines[++i];
      value.data += next.substr(std::min(next.find_first_not_of(' '), next.size()));
    }
    std::string type = type_of(value.data);
    InstallerKey candidate;
    std::string_view rest = section;
    candidate.root = take_root(&rest);
    if (candidate.root.empty() || rest.empty() || !is_gamepath(value.name) || type == "-") continue;
    candidate.key = rest;
    candidate.value_name = value.name;
    candidate.value_type = type;
    if (type == "hex(2)") candidate.value_text = expandable_text(value.data, unicode);
    found.push_back(std::move(candidate));
  }
  // The installer may write the key below both roots; the updater reads the current user's.
  std::vector<InstallerKey> current_user;
  for (const InstallerKey& each : found) {
    if (each.root == kCurrentUser) current_user.push_back(each);
  }
  if (!current_user.empty()) found = std::move(current_user);
  if (found.empty()) {
    *error = "the .reg file sets no value GAMEPATH";
    return false;
  }
  if (found.size() > 1) {
    *error = "the .reg file sets GAMEPATH under more than one key:";
    for (const InstallerKey& each : found)
      *error += " " + full_key(each);
    return false;
  }
  std::string value_name = found[0].value_name;
  std::string value_type = found[0].value_type;
  std::string value_text = found[0].value_text;
  if (!installer_key_from_text(full_key(found[0]), key, error)) return false;
  key->value_name = value_name;
  key->value_type = value_type;
  key->value_text = value_text;
  return true;
}

std::vector<Problem> installer_key_problems(const InstallerKey& key, const std::string& title_old) {
  std::vector<Problem> problems;
  if (key.root != kCurrentUser) {
    problems.push_back({0, ProblemKind::registry_key,
                        "the game's installer writes its key below " + key.root + " (" +
                            full_key(key) +
                            "), and the updater reads GAMEPATH only below HKEY_CURRENT_USER: it "
                            "finds none, and every player gets " +
                            not_installed(title_old)});
  }
  if (!key.value_name.empty() && key.value_name != "GAMEPATH") {
    problems.push_back({0, ProblemKind::registry_value,
                        "the game's installer names the value \"" + key.value_name +
                            "\", and the updater reads only GAMEPATH, in capitals (the registry "
                            "takes both for one name, the updater does not): it finds none, and "
                            "every player gets " +
                            not_installed(title_old)});
  }
  const std::string& type = key.value_type;
  if (type == "hex(2)" && key.value_text.find('%') != std::string::npos) {
    problems.push_back(
        {0, ProblemKind::registry_value,
         "the game's installer writes GAMEPATH as an expandable string (hex(2)), \"" +
             key.value_text +
             "\", and the updater takes it as it stands, unexpanded: every player is shown that "
             "text as the game's folder and, unless they type the folder themselves, gets \"" +
             u8"フォルダがありません。\""});
  } else if (!type.empty() && type != "hex(1)" && type != "hex(2)" && type != "hex(7)") {
    problems.push_back({0, ProblemKind::registry_value,
                        "the game's installer writes GAMEPATH as " + type_words(type) +
                            ", not as text: the updater takes its bytes for the folder's name, "
                            "and players get \"" +
                            u8"フォルダがありません。\" or " + not_installed(title_old)});
  }
  return problems;
}

void check_installer_key(const InstallerKey& key, CheckReport* report) {
  std::string list_key;
  std::string title_old;
  for (const RecordField& field : report->record) {
    if (std::string_view(field.key) == "REG_KEY") list_key = field.value;
    if (std::string_view(field.key) == "TITLE_OLD") title_old = field.value;
  }
  std::vector<Problem> problems = installer_key_problems(key, title_old);
  if (key.root == kCurrentUser && upper_case_utf8(list_key) != upper_case_utf8(key.key)) {
    problems.push_back({0, ProblemKind::registry_key,
                        "the list's key HKEY_CURRENT_USER\\" + list_key +
                            " is not the one the game's installer writes, HKEY_CURRENT_USER\\" +
                            key.key + ": the updater finds no GAMEPATH, and every player gets " +
                            not_installed(title_old)});
  }
  report->problems.insert(report->problems.begin(), problems.begin(), problems.end());
}
