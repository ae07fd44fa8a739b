// The part of interrupts.h both halves share: the flag and the actions.
#include "interrupts.h"

#include <atomic>

#include "interrupt_halves.h"

namespace {

constexpr int kMostActions = 8;

std::atomic<bool> Interrupted{false};
void (*Actions[kMostActions])() = {};
// Written after its slot, so the interrupt's thread never reads a slot still empty.
std::atomic<int> ActionCount{0};

}  // namespace

bool interrupt_pending() {
  return Interrupted;
}

void at_interrupt(void (*action)()) {
  int count = ActionCount;
  if (count == kMostActions) return;
  Actions[count] = action;
  ActionCount = count + 1;
  start_taking_interrupts();
}

void run_interrupt_actions() {
  Interrupted = true;
  for (int i = ActionCount - 1; i >= 0; --i)
    Actions[i]();
}
