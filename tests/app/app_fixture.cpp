// The per-test stand-in world.
#include "app_fixture.h"

#include <sys/stat.h>

#include <fstream>
#include <iterator>

#include "plan/update_state.h"
#include "setuplist/setup_parser.h"
#include "setuplist/setup_record.h"

namespace fs = std::filesystem;

void AppTest::SetUp() {
  standin::reset();
  SetupRecord = kSetupDefaults;
  reset_tables();
  SetupProblem = SetupLimitProblem{};
  SetupHooks = SetupListHooks{};
  DestinationPath[0] = '\0';
  ProceedFlag = 0;
  UpdatePlan.step_count = 0;

  static int counter = 0;
  work_ = fs::temp_directory_path() / ("update-app-tests-" + std::to_string(getpid())) /
          std::to_string(++counter);
  fs::remove_all(work_);
  fs::create_directories(work_ / "medium");
  fs::create_directories(work_ / "game");
  previous_dir_ = fs::current_path();
  fs::current_path(work_ / "medium");
  game_ = (work_ / "game").string();
}

void AppTest::TearDown() {
  fs::current_path(previous_dir_);
  // Read-only files and folders must not stop the clean-up.
  for (const auto& entry : fs::recursive_directory_iterator(work_)) {
    chmod(entry.path().c_str(), 0755);
  }
  fs::remove_all(work_);
  std::error_code ignored;
  fs::remove(work_.parent_path(), ignored);  // the process's folder, once its last test is gone
  EXPECT_EQ(standin::errors(), std::vector<std::string>{});
  EXPECT_EQ(standin::reg_open_keys(), 0);
  EXPECT_EQ(standin::live_item_lists(), 0);
  EXPECT_EQ(standin::live_allocators(), 0);
  EXPECT_EQ(standin::com_depth(), 0);
  EXPECT_EQ(standin::open_handles(), 0);
  EXPECT_EQ(standin::restart_manager_sessions(), 0);
}

void AppTest::write(const std::string& relative, const std::string& bytes) {
  fs::path path = work_ / relative;
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string AppTest::read(const std::string& relative) const {
  std::ifstream in(work_ / relative, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool AppTest::exists(const std::string& relative) const {
  return fs::exists(work_ / relative);
}

void AppTest::make_read_only(const std::string& relative) {
  chmod((work_ / relative).c_str(), 0444);
}

bool AppTest::is_read_only(const std::string& relative) const {
  struct stat st;
  return stat((work_ / relative).c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0;
}

std::vector<std::string> AppTest::files_under(const std::string& relative) const {
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(work_ / relative)) {
    names.push_back(fs::relative(entry.path(), work_ / relative).string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> AppTest::boxes() const {
  std::vector<std::string> out;
  for (const auto& box : standin::message_boxes())
    out.push_back(box.caption + ": " + box.text);
  return out;
}
