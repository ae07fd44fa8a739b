// What update-try must put back when a run ends; see journal.h.
//
// The file, ASCII: a first line naming the form, then one line for the copy and one for each
// value, every text in hex so that no byte of a key, a path or a value needs escaping:
//   update-try journal 1
//   copy <hex of the path, or "-">
//   value <hex key> <hex name> <existing levels> <present 0|1> <type> <hex data, or "-">
//   end
// The last line tells a whole file from one cut short.
#include "journal.h"

#include <sstream>

#include "plan/dbcs.h"

namespace {

constexpr char kHeader[] = "update-try journal 1";

std::string hex_of(const std::string& bytes) {
  if (bytes.empty()) return "-";
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 0xF];
  }
  return out;
}

int digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool bytes_of(const std::string& hex, std::string* out) {
  out->clear();
  if (hex == "-") return true;
  if (hex.empty() || hex.size() % 2 != 0) return false;
  for (size_t i = 0; i < hex.size(); i += 2) {
    int high = digit_value(hex[i]);
    int low = digit_value(hex[i + 1]);
    if (high < 0 || low < 0) return false;
    *out += static_cast<char>(high * 16 + low);
  }
  return true;
}

bool parse_value(std::istringstream& in, SavedValue* value) {
  std::string key;
  std::string name;
  std::string data;
  int present = -1;
  if (!(in >> key >> name >> value->existing_levels >> present >> value->type >> data))
    return false;
  value->present = present == 1;
  return (present == 0 || present == 1) && value->existing_levels >= 0 &&
         bytes_of(key, &value->key) && bytes_of(name, &value->name) &&
         bytes_of(data, &value->data) && !value->key.empty() && !value->name.empty();
}

}  // namespace

std::string journal_text(const Journal& journal) {
  std::string out = std::string(kHeader) + "\ncopy " + hex_of(journal.copy) + "\n";
  for (const SavedValue& v : journal.values) {
    out += "value " + hex_of(v.key) + " " + hex_of(v.name) + " " +
           std::to_string(v.existing_levels) + " " + (v.present ? "1" : "0") + " " +
           std::to_string(v.type) + " " + hex_of(v.data) + "\n";
  }
  return out + "end\n";
}

bool parse_journal(const std::string& text, Journal* journal) {
  std::istringstream lines(text);
  std::string line;
  if (!std::getline(lines, line) || line != kHeader) return false;
  *journal = Journal();
  bool copy_seen = false;
  while (std::getline(lines, line)) {
    std::istringstream in(line);
    std::string kind;
    in >> kind;
    if (kind == "end") return copy_seen && !std::getline(lines, line);
    std::string hex;
    if (kind == "copy" && !copy_seen && in >> hex && bytes_of(hex, &journal->copy)) {
      copy_seen = true;
    } else if (kind == "value") {
      SavedValue value;
      if (!parse_value(in, &value)) return false;
      journal->values.push_back(value);
    } else {
      return false;
    }
    std::string rest;
    if (in >> rest) return false;
  }
  return false;
}

std::vector<std::string> key_levels(const std::string& key) {
  std::vector<std::string> levels;
  for (size_t i = 0; i < key.size(); ++i) {
    if (ansi_lead_byte(static_cast<unsigned char>(key[i])) && i + 1 < key.size()) {
      ++i;
    } else if (key[i] == '\\') {
      levels.push_back(key.substr(0, i));
    }
  }
  if (!key.empty()) levels.push_back(key);
  return levels;
}
