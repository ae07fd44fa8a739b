// The end-to-end driver: runs the GoogleTest cases against update.exe; with --bench, the time a
// copy takes, and with --copyfile, the time a bare CopyFileA of the same files takes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "bench.h"
#include "environment.h"
#include "watchdog.h"

namespace {

class WatchdogListener : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo& test) override {
    std::string name = std::string(test.test_suite_name()) + "." + test.name();
    e2e::arm_watchdog(name.c_str());
  }
  void OnTestEnd(const testing::TestInfo&) override { e2e::disarm_watchdog(); }
};

}  // namespace

int main(int argc, char** argv) {
  if (!e2e::code_page_is_932()) {
    (void)fprintf(
        stderr,
        "error: the ANSI code page is %u, not 932. The driver's manifest asks for 932, which "
        "Wine 8 and Windows 11 honour; otherwise Wine takes it from the locale: run with "
        "LANG=ja_JP.UTF-8, and make sure that locale exists (locale -a).\n",
        GetACP());
    return 2;
  }
  if (argc >= 2 && strcmp(argv[1], "--bench") == 0) return e2e::run_bench(argc - 2, argv + 2);
  if (argc >= 2 && strcmp(argv[1], "--copyfile") == 0) return e2e::run_copyfile(argc - 2, argv + 2);
  testing::InitGoogleTest(&argc, argv);
  e2e::start_watchdog();
  testing::UnitTest::GetInstance()->listeners().Append(new WatchdogListener);
  return RUN_ALL_TESTS();
}
