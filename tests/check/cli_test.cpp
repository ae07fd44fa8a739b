// Runs of the real update-check program: the sample lists as text and as JSON, its exit statuses,
// and lists written to break it (a huge line, binary junk, thousands of files, NUL bytes).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "temp_dir.h"

using namespace std::string_literals;

namespace {

using nlohmann::json;

struct ProgramRun {
  int status;
  std::string out;
  std::string err;
};

std::string read_all(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The folders here are ours (the samples and scratch folders), so plain quoting does.
ProgramRun run_check(const std::string& args, const std::string& cwd = ".") {
  TempDir scratch;
  std::filesystem::path err = scratch.path() / "stderr";
  std::string command =
      "cd '" + cwd + "' && '" UPDATE_CHECK_PROGRAM "' " + args + " 2>'" + err.string() + "'";
  // The shell sets the program's folder and catches its stderr; the command is ours.
  FILE* pipe = popen(command.c_str(), "r");  // NOLINT(cert-env33-c)
  if (pipe == nullptr) return {-1, "", "popen failed"};
  ProgramRun run{};
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0)
    run.out.append(buf, n);
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.err = read_all(err);
  return run;
}

const std::string kSamples = CHECK_SAMPLES;

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

struct CommandCase {
  const char* name;
  std::string args;
  std::string cwd;
  int status;
  std::string in_out;  // expected in standard output, or "" for none at all
  std::string in_err;
};

const CommandCase kCommandCases[] = {
    {"clean_sample", "'" + kSamples + "/clean'", ".", 0, u8"\"星のかけら２\"", ""},
    {"current_folder_by_default", "", kSamples + "/clean", 0, "Setup list ./update.ini", ""},
    {"problems_sample", "'" + kSamples + "/problems'", ".", 1, "unsafe-name", ""},
    {"no_list", "'" + kSamples + "'", ".", 2, "", "update.ini"},
    {"unknown_option", "--frobnicate", ".", 2, "", "usage: update-check"},
    {"two_folders", "a b", ".", 2, "", "usage: update-check"},
    {"help", "--help", ".", 0, "usage: update-check", ""},
    {"list_given_by_its_path", "'" + kSamples + "/clean/update.ini'", ".", 0,
     "Setup list " + kSamples + "/clean/update.ini", ""},
    {"list_saved_as_utf8", "'" + kSamples + "/utf8'", ".", 1,
     "saved as UTF-8 with a byte order mark", ""},
    {"against_a_game", "--against '" + kSamples + "/game' '" + kSamples + "/clean'", ".", 0,
     "1 new, 1 replaced, 1 identical", ""},
    {"against_aligned_by_width", "--against '" + kSamples + "/game' '" + kSamples + "/clean'", ".",
     0,
     u8"replaces   \"data\\ソフト.txt\"        5 bytes\n  2    line 16    new        "
     u8"\"voice\\v001.ogg\"         4 bytes",
     ""},
    {"against_without_a_folder", "'" + kSamples + "/clean' --against", ".", 2, "",
     "--against needs a value"},
    {"installer_key_other_than_the_list_s",
     "--key 'HKCU\\Software\\Hoshizora\\HOSHl2' '" + kSamples + "/clean'", ".", 1,
     u8"HKEY_CURRENT_USER\\Software\\Hoshizora\\HOSHI2 is not the one the game's installer "
     u8"writes, HKEY_CURRENT_USER\\Software\\Hoshizora\\HOSHl2: the updater finds no GAMEPATH, "
     u8"and every player gets \"星のかけらがインストールされていません\"",
     ""},
    {"installer_key_below_the_local_machine",
     "--key 'HKLM\\Software\\Hoshizora\\HOSHI2' '" + kSamples + "/clean'", ".", 1,
     "registry-key    the game's installer writes its key below HKEY_LOCAL_MACHINE", ""},
    {"print_key_below_another_root", "--print-key --key 'HKLM\\Software\\A'", ".", 1, "",
     "below HKEY_LOCAL_MACHINE"},
    {"option_and_value_in_one",
     "--key='HKCU\\Software\\Hoshizora\\HOSHI2' '" + kSamples + "/clean'", ".", 0, "No problems.",
     ""},
    {"flag_given_a_value", "--json=yes '" + kSamples + "/clean'", ".", 2, "",
     "--json takes no value"},
    {"installer_key_in_other_letter_case",
     "--key 'software\\HOSHIZORA\\hoshi2' '" + kSamples + "/clean'", ".", 0, "No problems.", ""},
    {"print_key", "--print-key --key 'HKEY_CURRENT_USER\\Software\\A'", ".", 0, "Software\\A\n",
     ""},
    {"key_and_reg", "--key A --reg b.reg", ".", 2, "", "--key or --reg, not both"},
    // As typed into cmd, which keeps single quotes: refused, not taken for another key.
    {"installer_key_in_single_quotes",
     "--key \"'HKCU\\Software\\Hoshizora\\HOSHI2'\" '" + kSamples + "/clean'", ".", 2, "",
     "is in single quotes, which cmd keeps as part of it: quote it with double quotes"},
    {"reg_file_missing", "--reg '" + kSamples + "/none.reg' '" + kSamples + "/clean'", ".", 2, "",
     "cannot read"},
    {"against_a_file", "--against '" + kSamples + "/clean/update.ini' '" + kSamples + "/clean'",
     ".", 2, "", "is not a folder"},
};

void PrintTo(const CommandCase& c, std::ostream* os) {
  *os << c.name;
}

class Command : public testing::TestWithParam<CommandCase> {};

TEST_P(Command, StatusAndOutput) {
  const CommandCase& c = GetParam();
  ProgramRun run = run_check(c.args, c.cwd);
  EXPECT_EQ(run.status, c.status) << run.err;
  if (c.in_out.empty()) {
    EXPECT_EQ(run.out, "");
  } else {
    EXPECT_TRUE(has(run.out, c.in_out)) << run.out;
  }
  EXPECT_TRUE(has(run.err, c.in_err)) << run.err;
}

INSTANTIATE_TEST_SUITE_P(Cli, Command, testing::ValuesIn(kCommandCases),
                         [](const auto& test) { return std::string(test.param.name); });

// What the installer writes, from a regedit export: a value the updater doesn't read as its
// folder is a problem, as the key below another root is.
TEST(Cli, RegFileWithAValueTheUpdaterMisses) {
  TempDir dir;
  dir.write("game.reg",
            "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\Hoshizora\\HOSHI2]\r\n"
            "\"GamePath\"=\"C:\\\\Game\"\r\n");
  ProgramRun run =
      run_check("--reg '" + dir.path().string() + "/game.reg' '" + kSamples + "/clean'");
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_TRUE(has(run.out, "registry-value  the game's installer names the value \"GamePath\""))
      << run.out;
}

// A game file newer than the disc's: a note, or a problem when the player's game wrote it while
// it was played. The kind column is as wide as its longest kind: none runs into its message.
TEST(Cli, GameFileNewerThanTheDisc) {
  const struct {
    const char* name;
    int status;
    const char* line;
  } kCases[] = {
      {"a.txt", 0, "line 5     older-than-installed  \"a.txt\": the game's file is newer"},
      {"save\\data01.sav", 1,
       "line 5     player-data     \"save\\data01.sav\" looks like a player's data (in a save "
       "folder) and the game's file is newer than the disc's"},
  };
  for (const auto& c : kCases) {
    TempDir disc;
    TempDir game;
    std::string file = c.name;
    std::replace(file.begin(), file.end(), '\\', '/');
    disc.write("update.ini", std::string("#INSTALL_LST\n[A]\n#FILE\n[A]\n") + c.name + "\n");
    disc.write("update.exe", stand_in_update_exe());
    disc.write("GAME/" + file, "new");
    game.write(file, "old");
    std::filesystem::last_write_time(
        game.path() / file, std::filesystem::file_time_type::clock::now() + std::chrono::hours(1));
    ProgramRun run =
        run_check("--against '" + game.path().string() + "' '" + disc.path().string() + "'");
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_TRUE(has(run.out, c.line)) << run.out;
  }
}

std::vector<std::string> keys(const json& object) {
  std::vector<std::string> out;
  for (const auto& item : object.items())
    out.push_back(item.key());
  return out;
}

TEST(Json, CleanSampleHasTheDocumentedShape) {
  ProgramRun run = run_check("--json '" + kSamples + "/clean'");
  ASSERT_EQ(run.status, 0) << run.err;
  json doc = json::parse(run.out);
  using Keys = std::vector<std::string>;
  EXPECT_EQ(keys(doc), (Keys{"files", "notes", "problems", "record", "types"}));
  EXPECT_EQ(keys(doc["record"]),
            (Keys{"PATH", "REG_KEY", "REG_P", "REG_S", "REG_T", "TITLE", "TITLE_OLD"}));
  EXPECT_EQ(doc["record"]["TITLE"], u8"星のかけら２");
  EXPECT_EQ(doc["record"]["REG_KEY"], "Software\\Hoshizora\\HOSHI2");
  ASSERT_EQ(doc["types"].size(), 2u);
  EXPECT_EQ(keys(doc["types"][0]), (Keys{"copied", "index", "name"}));
  EXPECT_EQ(doc["types"][1]["name"], u8"[フル]");
  ASSERT_EQ(doc["files"].size(), 3u);
  const json& soft = doc["files"][1];
  EXPECT_EQ(keys(soft),
            (Keys{"copied", "file_name", "index", "source", "source_exists", "type", "type_mask"}));
  EXPECT_EQ(soft["file_name"], u8"data\\ソフト.txt");
  EXPECT_EQ(soft["source"], kSamples + u8"/clean/GAME/data/ソフト.txt");
  EXPECT_EQ(soft["source_exists"], true);
  EXPECT_EQ(doc["files"][2]["type"], 1);
  EXPECT_EQ(doc["files"][2]["type_mask"], 2);
  EXPECT_TRUE(doc["problems"].empty());
}

TEST(Json, ProblemsSample) {
  ProgramRun run = run_check("--json '" + kSamples + "/problems'");
  ASSERT_EQ(run.status, 1) << run.err;
  json doc = json::parse(run.out);
  std::vector<std::pair<int, std::string>> found;
  for (const json& p : doc["problems"]) {
    found.emplace_back(p["line"].get<int>(), p["kind"].get<std::string>());
    EXPECT_FALSE(p["message"].get<std::string>().empty());
  }
  std::vector<std::pair<int, std::string>> expected = {
      {14, "unknown-type"}, {18, "missing-source"}, {19, "unsafe-name"}, {21, "never-copied"},
      {23, "never-copied"}, {24, "unknown-type"},   {25, "never-copied"}};
  EXPECT_EQ(found, expected);
  ASSERT_EQ(doc["notes"].size(), 1u);
  EXPECT_EQ(doc["notes"][0]["line"], 27);
  EXPECT_EQ(doc["notes"][0]["kind"], "folder-needed");
  EXPECT_EQ(doc["files"][4]["type"], -1);
  EXPECT_EQ(doc["files"][4]["type_mask"], 0x80000000u);
}

// The game sample holds data\map01.dat as Data/map01.dat, the same bytes, and another ソフト.txt.
TEST(Json, AgainstAGameHasTheDocumentedShape) {
  ProgramRun run = run_check("--json --against '" + kSamples + "/game' '" + kSamples + "/clean'");
  ASSERT_EQ(run.status, 0) << run.err;
  json doc = json::parse(run.out);
  using Keys = std::vector<std::string>;
  EXPECT_EQ(doc["against"], kSamples + "/game");
  ASSERT_EQ(doc["entries"].size(), 3u);
  EXPECT_EQ(keys(doc["entries"][0]),
            (Keys{"bytes", "file_name", "index", "line", "outcome", "reason"}));
  std::vector<std::string> outcomes;
  for (const json& entry : doc["entries"])
    outcomes.push_back(entry["outcome"]);
  EXPECT_EQ(outcomes, (Keys{"identical", "replaces", "new"}));
  EXPECT_EQ(doc["entries"][1]["bytes"], 5);
  EXPECT_EQ(keys(doc["space"]), (Keys{"cluster_size", "fits", "free", "needed"}));
  EXPECT_EQ(doc["space"]["fits"], true);
}

// Lists meant to break the checker, made at test time. Each must give a report, never a crash.
struct HostileCase {
  const char* name;
  std::string (*list)();
  void (*check)(const json& doc);
};

size_t count_kind(const json& doc, const std::string& kind) {
  size_t n = 0;
  for (const json& p : doc["problems"])
    n += p["kind"] == kind ? 1 : 0;
  return n;
}

const HostileCase kHostileCases[] = {
    {"line_of_100000_bytes",
     [] { return "#FILE\n" + std::string(100000, 'A') + "\n#TITLE after\n"; },
     [](const json& doc) {
       EXPECT_EQ(doc["problems"].at(0)["kind"], "line-split");
       EXPECT_EQ(doc["problems"].at(0)["line"], 2);
       EXPECT_EQ(doc["record"]["TITLE"], "after");
     }},
    {"binary_junk",
     [] {
       std::string junk;
       unsigned state = 12345;
       for (int i = 0; i < 200000; ++i) {
         state = state * 1103515245u + 12345u;
         junk += static_cast<char>(state >> 16);
       }
       return "#TITLE " + junk;
     },
     [](const json& doc) { EXPECT_GE(count_kind(doc, "encoding"), 1u); }},
    {"10000_file_lines",
     [] {
       std::string list = "#INSTALL_LST\n[A]\n#FILE\n[A]\n";
       for (int i = 0; i < 10000; ++i)
         list += "file" + std::to_string(i) + ".dat\n";
       return list;
     },
     [](const json& doc) {
       EXPECT_EQ(doc["files"].size(), 256u);
       EXPECT_EQ(count_kind(doc, "limit"), 10000u - 256u);
     }},
    {"nul_bytes", [] { return "#TITLE a\0b\n\0\0\0\n#INSTALL_LST\n[\0A]\n"s; },
     [](const json& doc) {
       EXPECT_EQ(count_kind(doc, "encoding"), 3u);
       EXPECT_EQ(doc["record"]["TITLE"], "a");
       EXPECT_EQ(doc["types"].at(0)["name"], "[");
     }},
};

void PrintTo(const HostileCase& c, std::ostream* os) {
  *os << c.name;
}

class Hostile : public testing::TestWithParam<HostileCase> {};

TEST_P(Hostile, ReportsWithoutCrashing) {
  TempDir dir;
  dir.write("update.ini", GetParam().list());
  dir.write("update.exe", stand_in_update_exe());
  ProgramRun json_run = run_check("--json '" + dir.path().string() + "'");
  ASSERT_EQ(json_run.status, 1) << json_run.err;
  json doc = json::parse(json_run.out);  // throws on anything but valid UTF-8 JSON
  GetParam().check(doc);

  ProgramRun text_run = run_check("'" + dir.path().string() + "'");
  EXPECT_EQ(text_run.status, 1) << text_run.err;
  for (char c : text_run.out) {
    ASSERT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << "raw control byte in text";
  }
}

INSTANTIATE_TEST_SUITE_P(Cli, Hostile, testing::ValuesIn(kHostileCases),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
