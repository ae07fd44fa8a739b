// The temporaries of a run; see temporaries.h. The process's id is each half's.
#include "temporaries.h"

#include <chrono>
#include <thread>
#include <vector>

#include "files.h"
#include "interrupts.h"

namespace {

std::mutex& temporaries_mutex() {
  static std::mutex mutex;
  return mutex;
}

std::vector<std::filesystem::path>& temporaries() {
  static std::vector<std::filesystem::path> paths;
  return paths;
}

// Takes the lock and never gives it back: the process ends right after. The interrupt's flag is
// up already, so a long write holding the lock lets it go at its next piece.
void remove_temporaries() {
  temporaries_mutex().lock();
  for (const std::filesystem::path& path : temporaries())
    (void)remove_tree(path);
}

}  // namespace

void track_temporary(const std::filesystem::path& path) {
  static bool registered = false;
  if (!registered) at_interrupt(remove_temporaries);
  registered = true;
  std::lock_guard<std::mutex> lock(temporaries_mutex());
  temporaries().push_back(path);
}

void untrack_temporary(const std::filesystem::path& path) {
  std::lock_guard<std::mutex> lock(temporaries_mutex());
  auto& paths = temporaries();
  for (auto it = paths.begin(); it != paths.end();) {
    it = *it == path ? paths.erase(it) : it + 1;
  }
}

std::unique_lock<std::mutex> temporaries_lock() {
  std::unique_lock<std::mutex> lock(temporaries_mutex());
  // A write that gave up at an interrupt must not run on to remove the temporaries itself and
  // end the run "nothing was made" before the interrupt's thread ends it as the signal would.
  if (interrupt_pending()) {
    lock.unlock();
    for (;;)
      std::this_thread::sleep_for(std::chrono::seconds(1));
  }
  return lock;
}
