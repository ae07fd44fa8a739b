// How far one file's copy is, in the figures its progress line shows.
#include "progress_figures.h"

namespace {

constexpr uint64_t kMegabyte = uint64_t{1024} * 1024;
constexpr uint64_t kMost = 0xFFFFFFFFu;

unsigned long at_most_32_bits(uint64_t value) {
  return static_cast<unsigned long>(value < kMost ? value : kMost);
}

}  // namespace

ProgressFigures progress_figures(uint64_t done, uint64_t total) {
  if (done > total) done = total;  // a source that grew under the copy
  uint64_t percent = 100;
  if (total != 0) percent = done <= UINT64_MAX / 100 ? done * 100 / total : done / (total / 100);
  return {at_most_32_bits(done / kMegabyte), at_most_32_bits((total + kMegabyte - 1) / kMegabyte),
          at_most_32_bits(percent > 100 ? 100 : percent)};
}
