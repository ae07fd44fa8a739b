// Helpers shared by the unit tests.
#include "test_support.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include "setuplist/list_reader.h"
#include "setuplist/setup_parser.h"
#include "setuplist/setup_record.h"

namespace {
std::vector<std::string>* BoxesShown = nullptr;

void record_box(void*, const char* text, const char* caption) {
  BoxesShown->push_back(std::string(caption) + ": " + text);
}
}  // namespace

// CTest runs every test case in a process of its own, several at a time: the process id keeps
// their files apart, the counter the files of one process.
std::string unique_temp_path(const std::string& stem) {
#ifdef _WIN32
  const int process = _getpid();
#else
  const int process = static_cast<int>(getpid());
#endif
  static int counter = 0;
  auto dir = std::filesystem::temp_directory_path() / "update-unit-tests";
  std::filesystem::create_directories(dir);
  return (dir / (stem + "-" + std::to_string(process) + "-" + std::to_string(++counter))).string();
}

void write_bytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> parse_list(const std::string& bytes) {
  std::string path = unique_temp_path("update.ini");
  write_bytes(path, bytes);
  std::vector<std::string> boxes;
  BoxesShown = &boxes;
  SetupRecord = kSetupDefaults;
  SetupHooks = SetupListHooks{};
  SetupHooks.message_box = record_box;
  SetupListFile = open_setup_list(path.c_str());
  parse_setup_list();
  (void)fclose(SetupListFile);
  SetupListFile = nullptr;
  SetupHooks = SetupListHooks{};
  BoxesShown = nullptr;
  (void)std::remove(path.c_str());
  return boxes;
}
