// The report on lists written to a scratch folder: which problems the checker finds on which line,
// and what it shows of the record, the types and the files.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "disc/report.h"
#include "temp_dir.h"

using namespace std::string_literals;

namespace {

// Line and kind of each problem, then of each note ("note " and its kind). An expected kind may
// go on with ": " and words its message must hold.
using Found = std::vector<std::pair<int, std::string>>;

struct ProblemCase {
  const char* name;
  std::string list;                // plain literals: the test sources are compiled to code page 932
  std::vector<std::string> files;  // what the medium holds, below the folder
  Found problems;
  std::string folder{};  // the medium's folder below the scratch folder (UTF-8)
};

std::string lines(const std::string& prefix, int count, const std::string& suffix) {
  std::string out;
  for (int i = 0; i < count; ++i) {
    out.append(prefix).append(std::to_string(i)).append(suffix);
  }
  return out;
}

std::vector<std::string> names(int count) {
  std::vector<std::string> out;
  out.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i)
    out.push_back("GAME/f" + std::to_string(i));
  return out;
}

const std::string kOneType = "#INSTALL_LST\n[A]\n#FILE\n[A]\n";
const std::string kNineTypes = "#INSTALL_LST\n" + lines("[T", 9, "]\n") + "#FILE\n";

const ProblemCase kProblemCases[] = {
    {"clean", kOneType + "a.txt\n", {"GAME/a.txt"}, {}},
    {"unknown_header_and_install_s_name",
     "#INSTALL_LST\n[A]\n#INSTALL_S\n[Z]\n#FILE\n[Q]\nq.txt\n",
     {"GAME/q.txt"},
     {{4, "unknown-type"}, {6, "unknown-type"}, {7, "never-copied"}}},
    {"type_listed_only_further_down",
     "#FILE\n[A]\na.txt\n#INSTALL_LST\n[A]\n",
     {"GAME/a.txt"},
     {{2, "unknown-type"}, {3, "never-copied"}}},
    {"type_7_copied_type_8_not",
     kNineTypes + "[T7]\nseven\n[T8]\neight\n",
     {"GAME/seven", "GAME/eight"},
     {{15, "never-copied"}}},
    {"no_type_and_empty_header",
     kOneType + "[]\nnone.txt\n#FILE\nstill.txt\n",
     {"GAME/none.txt", "GAME/still.txt"},
     {{6, "never-copied"}, {8, "never-copied"}}},
    {"missing_source",
     kOneType + "here.txt\ngone.txt\n",
     {"GAME/here.txt"},
     {{6, "missing-source"}}},
    {"unsafe_names_are_not_looked_up",
     kOneType + "..\\up.txt\n\\root.txt\nC:x.txt\nNUL.TXT\nsub\\con\nsub/../../x\n",
     {},
     {{5, "unsafe-name"},
      {6, "unsafe-name"},
      {7, "unsafe-name"},
      {8, "unsafe-name"},
      {9, "unsafe-name"},
      {10, "unsafe-name"}}},
    // Names the updater takes: Windows refuses the first, drops the dots and blanks ending the
    // next two, and the list's own update.ini sits where the data files do.
    {"names_windows_refuses_or_changes",
     "#PATH \"\"\n" + kOneType + "a<b.txt\nx.txt.\nsub \\y.txt\nUpdate.Ini\nsub\\update.exe\n",
     {"a<b.txt", "x.txt.", "sub /y.txt", "Update.Ini", "sub/update.exe"},
     {{6, "bad-character"}, {7, "changed-name"}, {8, "changed-name"}, {9, "disc-name"}}},
    {"file_name_of_31_and_32_bytes",
     kOneType + std::string(31, 'a') + "\n" + std::string(32, 'b'),
     {"GAME/" + std::string(31, 'a')},
     {{6, "limit"}}},
    {"path_of_256_bytes", "#PATH " + std::string(256, 'p') + "\n", {}, {{1, "limit"}}},
    {"257_files", kOneType + lines("f", 257, "\n"), names(256), {{261, "limit"}}},
    {"33_types", "#INSTALL_LST\n" + lines("[T", 33, "]\n"), {}, {{34, "limit"}}},
    {"type_name_of_64_bytes", "#INSTALL_LST\n[" + std::string(62, 'n') + "]\n", {}, {{2, "limit"}}},
    // The text after the NUL is lost, but the line still ends there: the limit is on line 4.
    {"registry_key_too_long_after_a_nul",
     "#REG_P " + std::string(500, 'p') + "\n#remark a\0b\n"s + "#REG_S " + std::string(500, 's') +
         "\n#REG_T " + std::string(30, 't') + "\n",
     {},
     {{2, "encoding"}, {4, "limit"}}},
    {"line_of_600_bytes", "#" + std::string(599, 'x') + "\n", {}, {{1, "line-split"}}},
    {"line_of_511_bytes_is_whole", "#" + std::string(510, 'x') + "\n#TITLE t\n", {}, {}},
    {"cut_inside_a_double_byte_character",
     "#" + std::string(509, 'x') + "あ\n",
     {},
     {{1, "line-split"}}},
    {"bytes_not_in_the_code_page",
     "#TITLE ok\n#TITLE a\xFF\xFE"
     "b\n",
     {},
     {{2, "encoding"}}},
    {"nul_keeps_later_line_numbers",
     "#TITLE a\0b\n#INSTALL_LST\n[A]\n#FILE\n[B]\n"s,
     {},
     {{1, "encoding"}, {5, "unknown-type"}}},
    {"ctrl_z_before_text", "#TITLE a\n\x1A#FILE\nx.txt\n", {}, {{2, "encoding"}}},
    {"ctrl_z_at_the_end", "#TITLE a\r\n\x1A\r\n", {}, {}},
    {"crlf_lines", "#INSTALL_LST\r\n[A]\r\n#FILE\r\n[B]\r\n", {}, {{4, "unknown-type"}}},
    // Saved as UTF-8: one problem for the list, none for each line or each garbled name. The
    // byte order mark hides line 1's TITLE; the ASCII name is still looked up.
    {"utf8_with_a_byte_order_mark",
     "\xEF\xBB\xBF#TITLE x\n" + kOneType + "a.txt\n" + u8"データ.txt\n",
     {u8"GAME/データ.txt"},
     {{1, "encoding"}, {6, "missing-source"}}},
    {"utf8_without_a_byte_order_mark",
     u8"#TITLE \"星のかけら\"\n" + kOneType + u8"表\\ソ.txt\n",
     {u8"GAME/表/ソ.txt"},
     {{1, "encoding"}}},
    // A byte order mark before code page 932 text: line 1 lost, each line still checked.
    {"byte_order_mark_before_code_page_932",
     "\xEF\xBB\xBF#TITLE x\n#TITLE a\xFF\n" + kOneType + "表.txt\n",
     {u8"GAME/表.txt"},
     {{1, "encoding"}, {2, "encoding"}}},
    // Keyword lines are not trimmed: once for the blank, then only the file missing either way.
    {"path_ending_in_a_blank",
     "#PATH GAME \n" + kOneType + "a.txt\nb.txt\ngone.txt\n",
     {"GAME/a.txt", "GAME/b.txt"},
     {{1, "missing-source"}, {8, "missing-source"}}},
    {"registry_part_ending_in_a_blank",
     "#TITLE t \n#REG_S Maker\t\n",
     {},
     {{2, "note blank-in-value"}}},
    {"folder_two_levels_down_made_by_no_earlier_file",
     kOneType + "voice\\ch1\\v.ogg\nvoice\\x.ogg\nvoice\\ch2\\w.ogg\n",
     {"GAME/voice/ch1/v.ogg", "GAME/voice/x.ogg", "GAME/voice/ch2/w.ogg"},
     {{5, "note folder-needed"}}},
    // The list's ～ is code page 932's; the disc's file was named with the wave dash 〜.
    // The updater, run from there, stops: a note, as the disc burned from it is fine.
    {"disc_folder_without_a_code_page_932_path",
     kOneType + "a.txt\n",
     {"GAME/a.txt"},
     {{0, "note disc-path"}},
     u8"José/update"},
    {"disc_folder_with_0x5c_second_bytes", kOneType + "a.txt\n", {"GAME/a.txt"}, {}, u8"表ソフト"},
    {"look_alike_of_a_missing_source",
     kOneType + "\x94\x67\x81\x60.txt\n",
     {u8"GAME/波〜.txt"},
     {{5, u8"missing-source: \"波〜.txt\", which only looks the same"}}},
};

void PrintTo(const ProblemCase& c, std::ostream* os) {
  *os << c.name;
}

class Problems : public testing::TestWithParam<ProblemCase> {};

TEST_P(Problems, FoundOnTheirLines) {
  const ProblemCase& c = GetParam();
  TempDir dir;
  std::string medium = c.folder.empty() ? "" : c.folder + "/";
  dir.write(medium + "update.ini", c.list);
  dir.write(medium + "update.exe", stand_in_update_exe());
  for (const std::string& file : c.files)
    dir.write(medium + file, "data");

  CheckReport report;
  std::string error;
  std::filesystem::path root = c.folder.empty() ? dir.path() : dir.path() / c.folder;
  ASSERT_TRUE(build_report(root.string(), &report, &error)) << error;
  Found found;
  for (const Problem& p : report.problems) {
    std::string kind = problem_kind_name(p.kind);
    size_t at = found.size();
    if (at < c.problems.size() && c.problems[at].second.rfind(kind + ": ", 0) == 0) {
      std::string words = c.problems[at].second.substr(kind.size() + 2);
      if (p.message.find(words) != std::string::npos) kind += ": " + words;
    }
    found.emplace_back(p.line, kind);
  }
  for (const Note& n : report.notes)
    found.emplace_back(n.line, std::string("note ") + note_kind_name(n.kind));
  EXPECT_EQ(found, c.problems) << (report.problems.empty() ? "" : report.problems[0].message);
}

INSTANTIATE_TEST_SUITE_P(Report, Problems, testing::ValuesIn(kProblemCases),
                         [](const auto& test) { return std::string(test.param.name); });

CheckReport report_on(const TempDir& dir) {
  CheckReport report;
  std::string error;
  EXPECT_TRUE(build_report(dir.path().string(), &report, &error)) << error;
  return report;
}

CheckReport report_on_list(const TempDir& dir, const std::string& list) {
  CheckReport report;
  std::string error;
  build_report((dir.path() / list).string(), &report, &error);
  return report;
}

std::string field(const CheckReport& report, const std::string& key) {
  for (const RecordField& f : report.record) {
    if (f.key == key) return f.value;
  }
  return "(missing)";
}

// 表 and ソ end in byte 0x5C: the path must be converted before its backslashes become slashes.
TEST(Report, JapaneseRecordAndSourcePaths) {
  TempDir dir;
  dir.write("update.ini",
            "#TITLE \"星のかけら\"\n#PATH データ\\\n#REG_S ソフト\n"
            "#INSTALL_LST\n[標準]\n#FILE\n[標準]\n表\\ソ.txt\n");
  dir.write(u8"データ/表/ソ.txt", "data");
  dir.write("update.exe", stand_in_update_exe());
  CheckReport report = report_on(dir);

  EXPECT_EQ(field(report, "TITLE"), u8"星のかけら");
  EXPECT_EQ(field(report, "TITLE_OLD"), u8"Titleだよ");
  EXPECT_EQ(field(report, "PATH"), u8"データ\\");
  EXPECT_EQ(field(report, "REG_KEY"), u8"Software\\ソフト\\GAME");
  ASSERT_EQ(report.types.size(), 1u);
  EXPECT_EQ(report.types[0].name, u8"[標準]");
  ASSERT_EQ(report.files.size(), 1u);
  EXPECT_EQ(report.files[0].file_name, u8"表\\ソ.txt");
  EXPECT_EQ(report.files[0].source, dir.path().string() + u8"/データ/表/ソ.txt");
  EXPECT_TRUE(report.files[0].source_exists);
  EXPECT_TRUE(report.problems.empty());
}

TEST(Report, TypesAndMasksOfEachFile) {
  TempDir dir;
  dir.write("update.ini", kNineTypes + "free\n[T2]\ntwo\n[T8]\neight\n[Unknown]\nlost\n");
  CheckReport report = report_on(dir);

  ASSERT_EQ(report.types.size(), 9u);
  EXPECT_TRUE(report.types[7].copied);
  EXPECT_FALSE(report.types[8].copied);
  struct Expected {
    int32_t type;
    uint32_t mask;
    bool copied;
    int line;
  };
  const Expected expected[] = {{-1, 0x80000000u, false, 12},
                               {2, 4, true, 14},
                               {8, 0x100, false, 16},
                               {-1, 0x80000000u, false, 18}};
  ASSERT_EQ(report.files.size(), 4u);
  for (size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(report.files[i].file_name);
    EXPECT_EQ(report.files[i].type, expected[i].type);
    EXPECT_EQ(report.files[i].type_mask, expected[i].mask);
    EXPECT_EQ(report.files[i].copied, expected[i].copied);
    EXPECT_EQ(report.files[i].line, expected[i].line);
  }
}

// The parser keeps the record between runs and sets only what a list gives.
TEST(Report, NothingCarriesOverFromTheLastList) {
  TempDir first;
  first.write("update.ini", "#TITLE first\n" + kOneType + "a\n");
  report_on(first);
  TempDir second;
  second.write("update.ini", "");
  CheckReport report = report_on(second);
  EXPECT_EQ(field(report, "TITLE"), u8"Titleだよ");
  EXPECT_TRUE(report.files.empty());
  EXPECT_TRUE(report.types.empty());
}

// A list given by its path has its data folder beside it, whatever its name.
TEST(Report, ListGivenByItsPath) {
  TempDir dir;
  dir.write("draft.ini", kOneType + "a.txt\n");
  dir.write("GAME/a.txt", "data");
  CheckReport report = report_on_list(dir, "draft.ini");
  ASSERT_EQ(report.files.size(), 1u);
  EXPECT_TRUE(report.files[0].source_exists);
  ASSERT_EQ(report.notes.size(), 1u);
  EXPECT_EQ(report.notes[0].kind, NoteKind::list_name);
  std::string error;  // a list that isn't there is not taken for a folder
  EXPECT_FALSE(build_report((dir.path() / "gone.ini").string(), &report, &error));
  EXPECT_EQ(error.find("gone.ini/"), std::string::npos) << error;
}

// The disc's update.exe: a problem when it is missing or no program Windows starts, a note when
// its security directory holds no PKCS #7 signature (type 2).
TEST(Report, UpdateExe) {
  const struct {
    const char* name;
    const char* file;  // the name on the medium
    std::string exe;
    const char* found;  // "problem", "note" or ""
  } cases[] = {
      {"no update.exe", "", "", "problem"},
      {"a text file", "update.exe", "stand-in for update.exe", "problem"},
      {"the two bytes MZ", "update.exe", "MZ", "problem"},
      {"a folder", "update.exe/x", "", "problem"},
      {"header cut short", "update.exe", pe_image(0x20B, 16, 2).substr(0, 0x60), "problem"},
      {"a DLL", "update.exe", pe_image(0x20B, 16, 2, 0x2022), "problem"},
      {"no executable image", "update.exe", pe_image(0x20B, 16, 2, 0x20), "problem"},
      {"PE32+ unsigned", "update.exe", pe_image(0x20B, 16, 0), "note"},
      {"PE32 unsigned", "update.exe", pe_image(0x10B, 16, 0), "note"},
      {"PE32+ signed", "update.exe", pe_image(0x20B, 16, 2), ""},
      {"PE32 signed", "update.exe", pe_image(0x10B, 16, 2), ""},
      {"named in capitals", "UPDATE.EXE", pe_image(0x10B, 16, 2), ""},
      {"no security slot", "update.exe", pe_image(0x20B, 4, 2), "note"},
      {"an X.509 entry, not a signature", "update.exe", pe_image(0x20B, 16, 1), "note"},
      {"signature cut off", "update.exe", pe_image(0x20B, 16, -1), "note"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    dir.write("update.ini", kOneType + "a.txt\n");
    dir.write("GAME/a.txt", "data");
    if (*c.file != '\0') dir.write(c.file, c.exe);
    CheckReport report = report_on(dir);
    std::string found;
    for (const Problem& problem : report.problems)
      found += problem.kind == ProblemKind::update_exe && problem.line == 0 ? "problem" : "other";
    for (const Note& note : report.notes)
      found += note.kind == NoteKind::unsigned_exe && note.line == 0 ? "note" : "other";
    EXPECT_EQ(found, c.found) << c.name;
  }
}

TEST(Report, UnreadableLists) {
  TempDir no_list;
  TempDir folder_as_list;
  std::filesystem::create_directory(folder_as_list.path() / "update.ini");
  for (const TempDir* dir : {&no_list, &folder_as_list}) {
    CheckReport report;
    std::string error;
    EXPECT_FALSE(build_report(dir->path().string(), &report, &error));
    EXPECT_NE(error.find("update.ini"), std::string::npos) << error;
  }
}

}  // namespace
