// update-try's journal of what a run must put back: read back exactly as written, whatever bytes
// the values and keys hold; a file cut short or damaged is never taken for a journal, so that
// nothing is "restored" from half a record. And the levels of a key, by whole characters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_name.h"
#include "try/journal.h"

using namespace std::string_literals;

namespace {

SavedValue value(const std::string& key, int levels, bool present, uint32_t type,
                 const std::string& data) {
  return SavedValue{key, "GAMEPATH", levels, present, type, data};
}

struct RoundTripCase {
  const char* name;
  Journal journal;
};

const RoundTripCase kRoundTripCases[] = {
    {"nothing_yet", {u8"C:\\Users\\José\\update-try\\game", {}}},
    {"string_as_the_registry_stores_it",
     {"", {value("Software\\Maker\\Game", 3, true, 1, "C\0:\0\\\0r\0e\0a\0l\0\0\0"s)}}},
    {"absent_under_a_missing_key_with_0x5C_second_bytes",
     {"C:\\c", {value("Software\\ソフト\\表示", 1, false, 0, "")}}},
    {"binary_with_every_byte",
     {"C:\\c", {value("K", 1, true, 3, std::string("\0\x01\xFF\n\r\t %\\"s))}}},
    {"two_keys_in_order",
     {"C:\\c", {value("A\\B", 2, false, 0, ""), value("A\\b", 2, true, 2, "x\0"s)}}},
};

void PrintTo(const RoundTripCase& c, std::ostream* os) {
  *os << c.name;
}

class JournalRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(JournalRoundTrip, ReadsBackWhatWasWritten) {
  const Journal& written = GetParam().journal;
  Journal read;
  ASSERT_TRUE(parse_journal(journal_text(written), &read)) << journal_text(written);
  EXPECT_EQ(read.copy, written.copy);
  ASSERT_EQ(read.values.size(), written.values.size());
  for (size_t i = 0; i < read.values.size(); ++i) {
    EXPECT_EQ(read.values[i].key, written.values[i].key);
    EXPECT_EQ(read.values[i].name, written.values[i].name);
    EXPECT_EQ(read.values[i].existing_levels, written.values[i].existing_levels);
    EXPECT_EQ(read.values[i].present, written.values[i].present);
    EXPECT_EQ(read.values[i].type, written.values[i].type);
    EXPECT_EQ(read.values[i].data, written.values[i].data);
  }
}

INSTANTIATE_TEST_SUITE_P(Try, JournalRoundTrip, testing::ValuesIn(kRoundTripCases), CaseName());

const std::string kWhole = journal_text({"C:\\c", {value("K", 1, true, 1, "ab")}});

struct DamagedCase {
  const char* name;
  std::string text;
};

const DamagedCase kDamagedCases[] = {
    {"empty", ""},
    {"cut_before_its_end", kWhole.substr(0, kWhole.size() - 4)},
    {"cut_inside_a_value", kWhole.substr(0, kWhole.find("value") + 12)},
    {"another_form", "update-try journal 2\ncopy -\nend\n"},
    {"no_copy_line", "update-try journal 1\nend\n"},
    {"two_copy_lines", "update-try journal 1\ncopy -\ncopy -\nend\n"},
    {"odd_hex", "update-try journal 1\ncopy 4\nend\n"},
    {"presence_not_0_or_1", "update-try journal 1\ncopy -\nvalue 4b 47 1 2 1 61\nend\n"},
    {"negative_levels", "update-try journal 1\ncopy -\nvalue 4b 47 -1 1 1 61\nend\n"},
    {"no_key", "update-try journal 1\ncopy -\nvalue - 47 1 1 1 61\nend\n"},
    {"a_field_too_many", "update-try journal 1\ncopy -\nvalue 4b 47 1 1 1 61 62\nend\n"},
    {"lines_after_the_end", "update-try journal 1\ncopy -\nend\nvalue 4b 47 1 1 1 61\n"},
    {"unknown_line", "update-try journal 1\ncopy -\nremove C:\\\nend\n"},
};

void PrintTo(const DamagedCase& c, std::ostream* os) {
  *os << c.name;
}

class DamagedJournal : public testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedJournal, IsNotTakenForOne) {
  Journal read;
  EXPECT_FALSE(parse_journal(GetParam().text, &read));
}

INSTANTIATE_TEST_SUITE_P(Try, DamagedJournal, testing::ValuesIn(kDamagedCases), CaseName());

TEST(KeyLevels, ByWholeCharacters) {
  using Levels = std::vector<std::string>;
  EXPECT_EQ(key_levels("Software\\Maker\\Game"),
            (Levels{"Software", "Software\\Maker", "Software\\Maker\\Game"}));
  // ソ and 表 end in the byte 0x5C (plain literals are code page 932).
  EXPECT_EQ(key_levels("Software\\ソフト\\表"),
            (Levels{"Software", "Software\\ソフト", "Software\\ソフト\\表"}));
  EXPECT_EQ(key_levels("Game"), (Levels{"Game"}));
  EXPECT_EQ(key_levels(""), Levels{});
}

}  // namespace
