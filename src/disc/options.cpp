// The tools' option parser and the help it writes; see options.h.
#include "options.h"

#include <algorithm>
#include <string_view>

#include "console.h"

namespace {

// The longest names and value that still leave the help on the same line.
constexpr size_t kWidestLeft = 24;

bool has_name(const OptionSpec& spec, std::string_view name) {
  std::string_view names = spec.names;
  while (!names.empty()) {
    size_t comma = names.find(", ");
    if (names.substr(0, comma) == name) return true;
    names.remove_prefix(comma == std::string_view::npos ? names.size() : comma + 2);
  }
  return false;
}

const OptionSpec* find_option(const std::vector<OptionSpec>& table, std::string_view name) {
  for (const OptionSpec& spec : table) {
    if (has_name(spec, name)) return &spec;
  }
  return nullptr;
}

// One option at args[*i], with its value from "=" or from the next argument.
bool take_option(const std::vector<std::string>& args, size_t* i,
                 const std::vector<OptionSpec>& table, std::string* error) {
  std::string name = args[*i];
  std::string value;
  size_t equals = name.compare(0, 2, "--") == 0 ? name.find('=') : std::string::npos;
  bool inline_value = equals != std::string::npos;
  if (inline_value) {
    value = name.substr(equals + 1);
    name.resize(equals);
  }
  const OptionSpec* spec = find_option(table, name);
  if (spec == nullptr) {
    *error = "unknown option " + printable(name);
    return false;
  }
  if (spec->value == nullptr) {
    if (inline_value) {
      *error = name + " takes no value";
      return false;
    }
  } else if (!inline_value) {
    if (*i + 1 >= args.size()) {
      *error = name + " needs a value";
      return false;
    }
    value = args[++*i];
  }
  if (spec->value != nullptr && value.empty() && !spec->empty_value) {
    *error = name + " needs a value";
    return false;
  }
  spec->take(value);
  return true;
}

std::string left_column(const OptionSpec& spec) {
  std::string left = std::string("  ") + spec.names;
  if (spec.value != nullptr) left += std::string(" ") + spec.value;
  return left;
}

}  // namespace

bool parse_command_line(const std::vector<std::string>& args, const std::vector<OptionSpec>& table,
                        std::vector<std::string>* operands, std::string* error) {
  bool options_ended = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_ended || arg.size() < 2 || arg[0] != '-') {
      operands->push_back(arg);
    } else if (arg == "--") {
      options_ended = true;
    } else if (!take_option(args, &i, table, error)) {
      return false;
    }
  }
  return true;
}

std::string options_help(const std::vector<OptionSpec>& table) {
  size_t column = 0;
  for (const OptionSpec& spec : table) {
    size_t width = left_column(spec).size();
    if (width <= kWidestLeft) column = std::max(column, width + 2);
  }
  std::string text;
  for (const OptionSpec& spec : table) {
    std::string line = left_column(spec);
    line += line.size() + 2 > column ? "\n" + std::string(column, ' ')
                                     : std::string(column - line.size(), ' ');
    for (const char* help = spec.help; *help != '\0'; ++help) {
      line += *help;
      if (*help == '\n') line += std::string(column, ' ');
    }
    text += line + "\n";
  }
  return text;
}
