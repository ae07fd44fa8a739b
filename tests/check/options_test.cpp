// The tools' option parser: what each command line gives, or why it is refused, and the help
// written from the same table.
#include "disc/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_name.h"

namespace {

// A table like a tool's; every option taken is written down as "name=value".
std::vector<OptionSpec> table(std::vector<std::string>* taken) {
  auto note = [taken](const char* name) {
    return [taken, name](const std::string& value) { taken->push_back(name + ("=" + value)); };
  };
  return {
      {"--title", "TEXT", "the title", note("title")},
      {"--path", "NAME", "the data folder", note("path"), true},
      {"--json", nullptr, "as JSON", note("json")},
      {"-h, --help", nullptr, "this text", note("help")},
  };
}

struct ParseCase {
  const char* name;
  std::vector<std::string> args;   // after the program's name
  std::vector<std::string> taken;  // options, then "operands:" and the operands
  std::string error;               // empty: accepted
};

const ParseCase kParseCases[] = {
    {"value_apart_and_joined",
     {"--title", "A", "--title=B=C", "x"},
     {"title=A", "title=B=C", "operands:", "x"},
     ""},
    {"value_that_looks_like_an_option", {"--title", "--json"}, {"title=--json", "operands:"}, ""},
    {"either_name", {"-h", "--help"}, {"help=", "help=", "operands:"}, ""},
    {"double_dash_ends_the_options",
     {"a", "--", "--json", "-"},
     {"operands:", "a", "--json", "-"},
     ""},
    {"lone_dash_is_an_operand", {"-"}, {"operands:", "-"}, ""},
    {"empty_value_where_it_means_something", {"--path="}, {"path=", "operands:"}, ""},
    {"empty_value_where_it_doesn_t", {"--title="}, {}, "--title needs a value"},
    {"missing_value", {"x", "--title"}, {}, "--title needs a value"},
    {"value_for_a_flag", {"--json=yes"}, {}, "--json takes no value"},
    {"unknown", {"--titel", "A"}, {}, "unknown option --titel"},
    {"short_name_joined_is_unknown", {"-h=1"}, {}, "unknown option -h=1"},
};

class Parse : public testing::TestWithParam<ParseCase> {};

TEST_P(Parse, TakesOrRefuses) {
  const ParseCase& c = GetParam();
  std::vector<std::string> taken;
  std::vector<std::string> args = {"tool"};
  args.insert(args.end(), c.args.begin(), c.args.end());
  std::vector<std::string> operands;
  std::string error;
  bool ok = parse_command_line(args, table(&taken), &operands, &error);
  EXPECT_EQ(error, c.error);
  if (ok) {
    taken.push_back("operands:");
    taken.insert(taken.end(), operands.begin(), operands.end());
    EXPECT_EQ(taken, c.taken);
  }
}

INSTANTIATE_TEST_SUITE_P(Options, Parse, testing::ValuesIn(kParseCases), CaseName());

// The help lines up the texts after the widest names, continues a text's lines under it, and
// puts a text whose names are too wide on the next line.
TEST(Options, HelpFromTheTable) {
  std::vector<OptionSpec> specs = {
      {"--a", "X", "one\ntwo", [](const std::string&) {}},
      {"-h, --help", nullptr, "help", [](const std::string&) {}},
      {"--a-very-long-option-name", "VALUE", "long", [](const std::string&) {}},
  };
  EXPECT_EQ(options_help(specs),
            "  --a X       one\n"
            "              two\n"
            "  -h, --help  help\n"
            "  --a-very-long-option-name VALUE\n"
            "              long\n");
}

}  // namespace
