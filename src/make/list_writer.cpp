// Writes the record quoted, so that blanks at either end of a value survive the parser; a type
// header is written whenever the next entry's type differs from the one before.
#include "list_writer.h"

namespace {

const char kLineEnd[] = "\r\n";

void field(std::string* out, const char* keyword, const std::string& value) {
  *out += std::string("#") + keyword + " \"" + value + "\"" + kLineEnd;
}

}  // namespace

std::string compose_setup_list(const ListSource& source, const std::vector<DiscEntry>& entries) {
  std::string out;
  field(&out, "TITLE", source.TITLE);
  field(&out, "TITLE_OLD", source.TITLE_OLD);
  field(&out, "PATH", source.PATH);
  field(&out, "REG_P", source.REG_P);
  field(&out, "REG_S", source.REG_S);
  field(&out, "REG_T", source.REG_T);
  out += std::string("#INSTALL_LST") + kLineEnd;
  for (const std::string& type : source.types)
    out += type + kLineEnd;
  out += std::string("#FILE") + kLineEnd;
  int current = -1;
  for (const DiscEntry& entry : entries) {
    if (entry.type != current) {
      current = entry.type;
      out += source.types[static_cast<size_t>(current)] + kLineEnd;
    }
    out += entry.list_name + kLineEnd;
  }
  return out;
}
