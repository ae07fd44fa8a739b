// update-try's summary of a played run, from its records and the game's listings: what the
// publisher reads, and whether the run counts as clean. Also the record file's escaping, the
// kinds of box update.exe shows, and what the two listings say was copied.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_name.h"
#include "try/summary.h"

namespace {

const Record kList = {"list", "1", u8"星空", u8"星空", "DATA", "Software\\Maker\\Game", "2", "2"};
const Record kGamePath = {"gamepath", "C:\\copy\\game\\", "C:\\copy\\game"};
const Record kCompletion = {"box", "completion", u8"星空のＵＰＤＡＴＥ",
                            u8"ＵＰＤＡＴＥが完了しました。", "03-completion"};
const Record kEnd = {"end", "1"};

struct SummaryCase {
  const char* name;
  std::vector<Record> records;
  std::vector<std::string> lines;  // each must be a whole line of the summary
  bool clean;
};

const SummaryCase kSummaryCases[] = {
    {"completion_alone_is_clean",
     {kList, kGamePath, kCompletion, kEnd},
     {u8"list: \"星空\", key HKCU\\Software\\Maker\\Game, data folder \"DATA\"; the updater "
      "copies 2 of its 2 file line(s)",
      "game folder: C:\\copy\\game (GAMEPATH C:\\copy\\game\\)", "failure boxes: 0",
      u8"final message: 星空のＵＰＤＡＴＥ / ＵＰＤＡＴＥが完了しました。 (the completion "
      "message)"},
     true},
    {"failure_box_then_completion",
     {kList,
      kGamePath,
      {"box", "failure", u8"ファイルコピー失敗", u8"a -> b\nのファイルコピーができません。",
       "02-failure"},
      {"failure", "2", "readme.txt", "read-only", ""},
      kCompletion,
      kEnd},
     {"failure boxes: 1",
      "  1. readme.txt: read-only game file: Windows refuses to replace it. The player sees this "
      "box, then the completion message; the file keeps its old bytes but loses its read-only "
      "flag, so a second run replaces it.",
      u8"     the box: ファイルコピー失敗: a -> b のファイルコピーができません。"},
     false},
    {"two_failures_numbered_with_their_details",
     {kList,
      {"box", "failure", "F", "x", "-"},
      {"failure", "1", u8"おまけ\\壁紙\\1.bmp", "missing-folder-level", u8"おまけ"},
      {"box", "failure", "F", "y", "-"},
      {"failure", "0", "..\\evil.dat", "unsafe-name", "..\\evil.dat"},
      kCompletion,
      kEnd},
     {"failure boxes: 2",
      u8"  1. おまけ\\壁紙\\1.bmp: missing folder level: the game has no folder \"おまけ\", and "
      u8"the "
      u8"updater makes only one new folder level per file. List a file in \"おまけ\" before this "
      "one.",
      "  2. ..\\evil.dat: name refused as unsafe: it could land outside the game folder."},
     false},
    {"wrong_key_names_both_and_is_not_clean",
     {kList, {"key", u8"Software\\Maker\\Gamé", "other"}, kCompletion, kEnd},
     {u8"key: GAMEPATH registered under the installer's key HKCU\\Software\\Maker\\Gamé, as on a "
      "player's PC",
      u8"  wrong key: the list names HKCU\\Software\\Maker\\Game, the game's installer writes "
      u8"HKCU\\Software\\Maker\\Gamé:"},
     false},
    {"same_key_in_other_case_is_clean",
     {kList, {"key", "software\\maker\\game", "same"}, kCompletion, kEnd},
     {"key: GAMEPATH registered under the installer's key HKCU\\software\\maker\\game, as on a "
      "player's PC"},
     true},
    {"test_boxes_and_unknown_type",
     {kList,
      {"unknown-type", "9", u8"[ボーナス]"},
      {"box", "test", "TEST", "not list type", "-"},
      kCompletion,
      kEnd},
     {u8"  list line 9: install type \"[ボーナス]\" not found: the player sees two \"TEST\" boxes, "
      "and the files under it are not copied",
      "other boxes before the end:", "    TEST: not list type"},
     false},
    {"stop_over_a_limit",
     {kList,
      {"limit", "4", "file name of 32 bytes or more"},
      {"box", "limit", u8"ＵＰＤＡＴＥの失敗", "SETUP.LST ...", "-"},
      kEnd},
     {"  list line 4: over a limit of the updater: file name of 32 bytes or more",
      u8"final message: ＵＰＤＡＴＥの失敗 / SETUP.LST ... (the run stopped: the list goes over "
      "a limit, nothing was copied)"},
     false},
    {"a_box_after_completion_is_the_final_one",
     {kList, kCompletion, {"box", "other", "X", "Y", "-"}, kEnd},
     {"final message: X / Y (another message)"},
     false},
    {"ended_without_a_box",
     {kList, {"window", "update-dialog", "T", "-"}, {"end", "3"}},
     {"final message: none: update.exe ended (exit code 3) without one"},
     false},
    {"cut_off_without_end",
     {kList, kCompletion},
     {"final message: none: the run could not be followed to its end"},
     false},
    {"driver_error",
     {kList, kCompletion, {"error", "no new window and no end in 600000 ms"}},
     {"final message: none: the run could not be followed to its end: no new window and no end "
      "in 600000 ms"},
     false},
    {"list_that_copies_nothing",
     {{"list", "1", "T", "T", "DATA", "K", "0", "3"}, kCompletion, kEnd},
     {"  warning: the list copies no files (saved with CR-only line ends, or no #FILE section?)"},
     true},
    {"short_records_do_not_crash", {{"list"}, {"box"}, {"failure"}, {"key"}, {"end"}}, {}, false},
};

void PrintTo(const SummaryCase& c, std::ostream* os) {
  *os << c.name;
}

class SummaryTable : public testing::TestWithParam<SummaryCase> {};

TEST_P(SummaryTable, SaysWhatTheRunDid) {
  const SummaryCase& c = GetParam();
  Summary summary = summarize(c.records, {}, {});
  for (const std::string& line : c.lines) {
    EXPECT_NE(("\n" + summary.text).find("\n" + line + "\n"), std::string::npos)
        << "no line \"" << line << "\" in\n"
        << summary.text;
  }
  EXPECT_EQ(summary.clean, c.clean) << summary.text;
}

INSTANTIATE_TEST_SUITE_P(Try, SummaryTable, testing::ValuesIn(kSummaryCases), CaseName());

ListingEntry file(const std::string& name, const std::string& id, const std::string& md5) {
  return ListingEntry{name, 1, false, id, md5};
}

struct CopiedCase {
  const char* name;
  Listing before;
  Listing after;
  std::string said;
};

const CopiedCase kCopiedCases[] = {
    {"nothing_touched",
     {file("a", "1", "m")},
     {file("a", "1", "m")},
     "copied: 0 file(s): 0 new, 0 replaced, 0 unchanged\n"},
    {"new_replaced_and_same_bytes_again",
     {file("a", "1", "m"), file("b", "2", "n")},
     {file("a", "7", "m2"), file("b", "8", "n"), file(u8"シナリオ\\第1章.txt", "9", "o")},
     "copied: 3 file(s): 1 new, 1 replaced, 1 unchanged\n"
     "    replaced   a\n"
     "    unchanged  b (copied, the same bytes as before)\n"
     u8"    new        シナリオ\\第1章.txt\n"},
    // The plain copy over the old file, for a game folder too deep for a temporary name.
    {"written_over_in_place",
     {file("a", "1", "m")},
     {file("a", "1", "m2")},
     "copied: 1 file(s): 0 new, 1 replaced, 0 unchanged\n    replaced   a\n"},
    {"a_file_gone",
     {file("a", "1", "m"), file("b", "2", "n")},
     {file("b", "2", "n")},
     "copied: 0 file(s): 0 new, 0 replaced, 0 unchanged\n"
     "    GONE       a (in the game before the run)\n"},
};

void PrintTo(const CopiedCase& c, std::ostream* os) {
  *os << c.name;
}

class CopiedTable : public testing::TestWithParam<CopiedCase> {};

TEST_P(CopiedTable, ToldFromTheListings) {
  const CopiedCase& c = GetParam();
  EXPECT_EQ(copied_summary(c.before, c.after), c.said);
}

INSTANTIATE_TEST_SUITE_P(Try, CopiedTable, testing::ValuesIn(kCopiedCases), CaseName());

TEST(Listing, LinesUpJapaneseNamesAndMarksReadOnlyFiles) {
  Listing listing = {{u8"設定.ini", 26, false, "1", "1a38d999ffff"},
                     {"readme.txt", 1234567890, true, "2", "3fec3afbffff"}};
  EXPECT_EQ(listing_text(listing),
            u8"    設定.ini                       26 bytes  md5 1a38d999\n"
            "    readme.txt               1234567890 bytes  md5 3fec3afb  read-only\n");
  EXPECT_EQ(listing_text({}), "    (no files)\n");
  EXPECT_EQ(listing_file(listing),
            u8"1\t26\t-\t1a38d999ffff\t設定.ini\n"
            "2\t1234567890\tread-only\t3fec3afbffff\treadme.txt\n");
}

TEST(RecordLine, EscapesWhatWouldSplitItsFields) {
  EXPECT_EQ(record_line({"box", "a\tb", "50%\r\n", ""}), "box\ta%09b\t50%25%0D%0A\t");
}

struct BoxCase {
  const char* name;
  std::string caption;  // plain literals: compiled to code page 932, as update.exe shows them
  std::string text;
  std::string kind;
};

const BoxCase kBoxCases[] = {
    {"test", "TEST", "not list type", "test"},
    {"failure", "ファイルコピー失敗", "a -> bのファイルコピーができません。", "failure"},
    {"completion", "星空のＵＰＤＡＴＥ", "ＵＰＤＡＴＥが完了しました。", "completion"},
    {"not_installed", "ＵＰＤＡＴＥの失敗", "星空がインストールされていません", "not-installed"},
    {"another_title_not_installed", "ＵＰＤＡＴＥの失敗", "月がインストールされていません",
     "other"},
    {"limit", "ＵＰＤＡＴＥの失敗", "SETUP.LST の 3 行目", "limit"},
    {"no_folder", "ＵＰＤＡＴＥの失敗", "フォルダがありません。", "no-folder"},
    {"folder_is_file", "フォルダ名の失敗", "x", "folder-is-file"},
    {"no_room", "ＵＰＤＡＴＥの失敗",
     "ゲームのフォルダがあるドライブの空き容量が足りません。\n必要", "no-room"},
    {"code_page", "UPDATE", "このUPDATEは、日本語の文字コード(932)", "code-page"},
};

void PrintTo(const BoxCase& c, std::ostream* os) {
  *os << c.name;
}

class BoxTable : public testing::TestWithParam<BoxCase> {};

TEST_P(BoxTable, KindFromCaptionAndText) {
  const BoxCase& c = GetParam();
  EXPECT_EQ(box_kind("星空", c.caption, c.text), c.kind);
}

INSTANTIATE_TEST_SUITE_P(Try, BoxTable, testing::ValuesIn(kBoxCases), CaseName());

}  // namespace
