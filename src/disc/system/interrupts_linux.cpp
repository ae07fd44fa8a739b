// The Linux half of interrupts.h: the signals, blocked in every thread and taken with sigwait.
#include "interrupts.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <thread>

#include "interrupt_halves.h"

namespace {

bool Watching = false;

sigset_t interrupt_signals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  return set;
}

// Taken here, on an ordinary thread, where removing a tree is safe (it is not in a signal
// handler).
void wait_for_interrupt() {
  sigset_t set = interrupt_signals();
  int signal_number = 0;
  if (sigwait(&set, &signal_number) != 0) return;
  run_interrupt_actions();
  // Ended by the signal itself, so the caller sees the status it expects (130 for Ctrl-C).
  (void)signal(signal_number, SIG_DFL);
  sigset_t one;
  sigemptyset(&one);
  sigaddset(&one, signal_number);
  (void)pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
  (void)raise(signal_number);
  // cppcheck-suppress unreachableCode ; raise returns when the signal cannot end the process
  _exit(128 + signal_number);
}

}  // namespace

void watch_interrupts() {
  Watching = true;
}

// Only the main thread registers actions, and no other thread runs when it first does.
void start_taking_interrupts() {
  static bool started = false;
  if (!Watching || started) return;
  started = true;
  sigset_t set = interrupt_signals();
  (void)pthread_sigmask(SIG_BLOCK, &set, nullptr);
  std::thread(wait_for_interrupt).detach();
}
