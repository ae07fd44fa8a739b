// Runs xorriso with an argument vector of its own, never through a shell: the names come from
// the publisher's folders.
#include "iso_image.h"

#ifdef _WIN32

bool iso_available() {
  return false;
}

bool write_iso_image(const std::filesystem::path&, const std::filesystem::path&,
                     std::string* error) {
  *error = "this build makes no disc images; make them with the Linux build";
  return false;
}

#else

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "disc/system.h"

namespace {

// xorriso's messages, kept for when it fails.
std::string read_log(const std::filesystem::path& log) {
  std::ifstream in(log, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

int run(const std::vector<std::string>& args, const std::filesystem::path& log) {
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  (void)fflush(stdout);  // the child must not write our buffered output a second time
  (void)fflush(stderr);
  pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    sigset_t none;  // the tool blocks the interrupt signals; xorriso must not inherit that
    sigemptyset(&none);
    (void)sigprocmask(SIG_SETMASK, &none, nullptr);
    int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd >= 0) {
      (void)dup2(fd, STDOUT_FILENO);
      (void)dup2(fd, STDERR_FILENO);
    }
    execvp(argv[0], argv.data());
    _exit(127);
  }
  track_child_process(child);
  int status = 0;
  pid_t waited;
  while ((waited = waitpid(child, &status, 0)) < 0 && errno == EINTR) {
  }
  track_child_process(0);
  if (waited < 0) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

bool iso_available() {
  return true;
}

bool write_iso_image(const std::filesystem::path& folder, const std::filesystem::path& image,
                     std::string* error) {
  std::filesystem::path log = image;
  log += ".log";
  track_temporary(log);
  // The names are UTF-8 whatever the caller's locale: without -local_charset a C locale turns
  // every Japanese character of the Joliet names, which Windows reads, into an underscore.
  int status = run({"xorriso",
                    "-report_about",
                    "SORRY",
                    "-abort_on",
                    "FAILURE",
                    "-local_charset",
                    "UTF-8",
                    "-outdev",
                    "stdio:" + image.string(),
                    "-volid",
                    "UPDATE",
                    "-joliet",
                    "on",
                    "-rockridge",
                    "on",
                    "-compliance",
                    "joliet_long_names",
                    "-map",
                    folder.string(),
                    "/",
                    "-commit"},
                   log);
  std::string messages = read_log(log);
  std::error_code ignored;
  std::filesystem::remove(log, ignored);
  untrack_temporary(log);
  if (status == 0) return true;
  *error = status == 127 ? "cannot run xorriso (is it installed?)"
                         : "xorriso failed (status " + std::to_string(status) + "):\n" + messages;
  return false;
}

#endif
