// How far one file's copy is, in the figures its progress line shows.
#pragma once

#include <cstdint>

// Whole megabytes, since wsprintfA has no 64-bit format that every Windows knows: what is copied
// rounded down, the file's size rounded up (a file under a megabyte shows 1), and the percentage
// rounded down, never above 100.
struct ProgressFigures {
  unsigned long done_mb;
  unsigned long total_mb;
  unsigned long percent;
};

ProgressFigures progress_figures(uint64_t done, uint64_t total);
