// The Linux half of child_process.h: fork and exec, and SIGTERM for a child still running at an
// interrupt.
#include "child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "interrupts.h"

namespace {

// The child process a run waits for (0: none).
std::atomic<pid_t> ChildProcess{0};

void stop_child_process() {
  pid_t child = ChildProcess;
  if (child != 0) (void)kill(child, SIGTERM);
}

}  // namespace

bool runs_programs() {
  return true;
}

bool program_on_path(const std::string& name) {
  const char* path = getenv("PATH");
  std::string_view dirs = path != nullptr ? path : "";
  while (!dirs.empty()) {
    size_t colon = dirs.find(':');
    std::string dir(dirs.substr(0, colon));
    dirs.remove_prefix(colon == std::string_view::npos ? dirs.size() : colon + 1);
    std::string file = (dir.empty() ? "." : dir) + "/" + name;
    struct stat info;
    if (stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(file.c_str(), X_OK) == 0)
      return true;
  }
  return false;
}

int run_program(const std::vector<std::string>& args, const std::filesystem::path& log) {
  static bool registered = false;
  if (!registered) at_interrupt(stop_child_process);
  registered = true;
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
    sigset_t none;  // the tool blocks the interrupt signals; the child must not inherit that
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
  ChildProcess = child;
  int status = 0;
  pid_t waited;
  while ((waited = waitpid(child, &status, 0)) < 0 && errno == EINTR) {
  }
  ChildProcess = 0;
  if (waited < 0) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
