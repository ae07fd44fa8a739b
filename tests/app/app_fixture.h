// A fresh stand-in world for each test of the program's Win32 side: an empty registry, no
// windows, the setup record at its defaults, and a work folder of its own as current directory
// (the update medium), with a game folder beside it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "case_name.h"
#include "standin/standin_control.h"

class AppTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Files, relative to the work folder.
  void write(const std::string& relative, const std::string& bytes);
  std::string read(const std::string& relative) const;
  bool exists(const std::string& relative) const;
  void make_read_only(const std::string& relative);
  bool is_read_only(const std::string& relative) const;
  std::vector<std::string> files_under(const std::string& relative) const;

  // The message boxes shown so far, each as "caption: text".
  std::vector<std::string> boxes() const;

  std::filesystem::path work_;
  std::string game_;  // the game folder, as the registry would hold it

 private:
  std::filesystem::path previous_dir_;
};

// The game's key with the built-in defaults.
inline const std::string kDefaultKey = "Software\\TALLOWMERE\\GAME";
