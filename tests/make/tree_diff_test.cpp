// The comparison of two versions of a game made in a scratch folder: the order of NEW's files
// whatever names sort between a folder and its files, which files changed (a difference past the
// first piece read), the first of two OLD names Windows takes for one, and a file that can't be
// read. Natively and under Wine (the Windows build's folder listing and file queries).
#include "make/tree_diff.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "check/temp_dir.h"
#include "disc/system/paths.h"

namespace fs = std::filesystem;

namespace {

struct Version {
  std::vector<std::pair<std::string, std::string>> files;  // UTF-8 name ('/'), bytes
};

void lay_out(const fs::path& root, const Version& version) {
  fs::create_directories(root);
  for (const auto& [name, bytes] : version.files) {
    fs::path file = root / fs::u8path(name);
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
  }
}

// Bytes a comparison reads in more than one piece, differing only in the last.
std::string big(char last) {
  return std::string(600000, 'x') + last;
}

struct DiffCase {
  const char* name;
  bool needs_case_in_names;  // two names that differ only in case: a Linux file system
  Version old_version;
  Version new_version;
  std::vector<std::string> files;  // NEW's, in order, each with its change
  std::vector<std::string> only_in_old;
};

const DiffCase kDiffCases[] = {
    // Sorted by the whole name: '!' and '.' sort before the '/' of a folder, '0' after it.
    {"names_around_a_folder",
     false,
     {},
     {{{"a/x", "1"}, {"a.b", "2"}, {"a!", "3"}, {"a0", "4"}, {"a b/y", "5"}, {"a/c/z", "6"}}},
     {"a b/y added", "a! added", "a.b added", "a/c/z added", "a/x added", "a0 added"},
     {}},
    {"changed_unchanged_and_only_in_old",
     false,
     {{{"same.dat", big('a')}, {"late.dat", big('a')}, {"size.dat", "12"}, {"gone.dat", ""}}},
     {{{"same.dat", big('a')}, {"late.dat", big('b')}, {"size.dat", "123"}, {"empty", ""}}},
     {"empty added", "late.dat changed", "same.dat unchanged", "size.dat changed"},
     {"gone.dat"}},
    // Windows takes Data.dat and data.dat for one file; the first by name stands for both.
    {"two_old_names_of_one_key",
     true,
     {{{"Data.dat", "old"}, {"data.dat", "new"}}},
     {{{"DATA.DAT", "new"}}},
     {"DATA.DAT changed"},
     {}},
};

void PrintTo(const DiffCase& c, std::ostream* os) {
  *os << c.name;
}

class Diff : public testing::TestWithParam<DiffCase> {};

TEST_P(Diff, FilesInOrderWithTheirChanges) {
  const DiffCase& c = GetParam();
  if (c.needs_case_in_names && kCaseBlindFileNames) GTEST_SKIP() << "one name on this system";
  TempDir dir;
  lay_out(dir.path() / "old", c.old_version);
  lay_out(dir.path() / "new", c.new_version);
  TreeDiff diff;
  std::string error;
  ASSERT_TRUE(diff_trees(dir.path() / "old", dir.path() / "new", &diff, &error)) << error;
  std::vector<std::string> files;
  for (const NewFile& file : diff.files) {
    const char* change = file.change == Change::added     ? "added"
                         : file.change == Change::changed ? "changed"
                                                          : "unchanged";
    files.push_back(file.rel + " " + change);
  }
  EXPECT_EQ(files, c.files);
  EXPECT_EQ(diff.only_in_old, c.only_in_old);
}

INSTANTIATE_TEST_SUITE_P(TreeDiff, Diff, testing::ValuesIn(kDiffCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(TreeDiff, AFolderThatIsNotThere) {
  TempDir dir;
  lay_out(dir.path() / "new", {{{"a", "1"}}});
  TreeDiff diff;
  std::string error;
  EXPECT_FALSE(diff_trees(dir.path() / "old", dir.path() / "new", &diff, &error));
  EXPECT_NE(error.find("cannot read the folder"), std::string::npos) << error;
}

}  // namespace
