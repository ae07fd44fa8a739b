// The progress line of long work; see progress.h.
#include "progress.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "display_width.h"
#include "system/console_io.h"

namespace {

using Clock = std::chrono::steady_clock;

// Short work shows nothing; a tick redraws the line often enough to look alive. The tests set
// UPDATE_MAKE_PROGRESS_AFTER_MS to see the line on work that a fast disk makes short.
constexpr auto kQuiet = std::chrono::seconds(1);
constexpr auto kTick = std::chrono::milliseconds(250);

struct State {
  std::mutex lock;  // the fields below, and every write to the console while a line is open
  std::condition_variable stopping;
  bool open = false;
  bool stop = false;
  std::thread ticker;
  Clock::time_point start;
  Clock::duration quiet = kQuiet;
  std::string phase;
  std::string file;
  uint64_t total = 0;
  std::atomic<uint64_t> done{0};
  size_t shown = 0;  // columns of the line on the console now; 0 when none is
};

// Never destroyed: a run that an interrupt ends leaves by exit, with the thread still there.
State& state() {
  static State* s = new State;
  return *s;
}

void take_off(State& s) {
  if (s.shown == 0) return;
  (void)write_text(stderr, "\r" + std::string(s.shown, ' ') + "\r");
  s.shown = 0;
}

void draw(State& s) {
  if (s.phase.empty() || Clock::now() - s.start < s.quiet) return;
  std::string line =
      progress_text(s.phase, s.done.load(), s.total, s.file, console_columns(stderr));
  size_t width = display_width(line);
  // The blanks cover what a longer line before left.
  std::string text = "\r" + line + std::string(s.shown > width ? s.shown - width : 0, ' ');
  if (s.shown > width) text += "\r" + line;
  if (write_text(stderr, text)) s.shown = width;
  (void)fflush(stderr);
}

void tick() {
  State& s = state();
  std::unique_lock<std::mutex> held(s.lock);
  while (!s.stopping.wait_for(held, kTick, [&s] { return s.stop; }))
    draw(s);
}

// The unit a total is told in, and a count of bytes in it: "1.2" GB, "812" MB.
struct Unit {
  uint64_t size;
  const char* name;
};

Unit unit_of(uint64_t total) {
  static const Unit kUnits[] = {{1000000000, "GB"}, {1000000, "MB"}, {1000, "KB"}};
  for (const Unit& unit : kUnits) {
    if (total >= unit.size) return unit;
  }
  return {1, "bytes"};
}

std::string amount(uint64_t bytes, Unit unit) {
  char text[32];
  if (unit.size == 1000000000) {
    (void)snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / 1e9);
  } else {
    (void)snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(bytes / unit.size));
  }
  return text;
}

// The last characters of text that fit in columns, whole characters only.
std::string tail_within(std::string_view text, size_t columns) {
  size_t at = text.size();
  size_t width = 0;
  while (at > 0) {
    size_t begin = at - 1;
    while (begin > 0 && (static_cast<unsigned char>(text[begin]) & 0xC0) == 0x80)
      --begin;
    size_t w = display_width(text.substr(begin, at - begin));
    if (width + w > columns) break;
    width += w;
    at = begin;
  }
  return std::string(text.substr(at));
}

std::string head_within(std::string_view text, size_t columns) {
  size_t at = 0;
  size_t width = 0;
  while (at < text.size()) {
    size_t end = at + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
      ++end;
    size_t w = display_width(text.substr(at, end - at));
    if (width + w > columns) break;
    width += w;
    at = end;
  }
  return std::string(text.substr(0, at));
}

}  // namespace

ProgressLine::ProgressLine(bool wanted) {
  if (!wanted || !shows_on_console(stdout) || !shows_on_console(stderr)) return;
  State& s = state();
  std::lock_guard<std::mutex> held(s.lock);
  s.open = true;
  s.stop = false;
  s.start = Clock::now();
  const char* after = std::getenv("UPDATE_MAKE_PROGRESS_AFTER_MS");
  s.quiet = after != nullptr ? std::chrono::milliseconds(std::strtoul(after, nullptr, 10)) : kQuiet;
  s.ticker = std::thread(tick);
}

void ProgressLine::stop() {
  State& s = state();
  {
    std::lock_guard<std::mutex> held(s.lock);
    if (!s.open) return;
    s.stop = true;
  }
  s.stopping.notify_all();
  s.ticker.join();
  std::lock_guard<std::mutex> held(s.lock);
  take_off(s);
  s.open = false;
  s.phase.clear();
  s.file.clear();
}

void progress_phase(const char* phase, uint64_t total) {
  State& s = state();
  std::lock_guard<std::mutex> held(s.lock);
  if (!s.open) return;
  s.phase = phase;
  s.file.clear();
  s.total = total;
  s.done = 0;
}

void progress_file(const std::string& name) {
  State& s = state();
  std::lock_guard<std::mutex> held(s.lock);
  if (s.open) s.file = name;
}

void progress_add(uint64_t bytes) {
  state().done += bytes;
}

bool write_beside_progress(FILE* stream, std::string_view text) {
  State& s = state();
  std::lock_guard<std::mutex> held(s.lock);
  take_off(s);
  return write_text(stream, text);
}

std::string progress_text(std::string_view phase, uint64_t done, uint64_t total,
                          std::string_view file, size_t columns) {
  std::string line(phase);
  if (total != 0) {
    Unit unit = unit_of(total);
    line +=
        ": " + amount(std::min(done, total), unit) + " of " + amount(total, unit) + " " + unit.name;
  }
  size_t room = columns > 1 ? columns - 1 : 0;
  if (columns == 0) room = 79;  // a console that gives no width: the usual 80 columns
  if (display_width(line) >= room) return head_within(line, room);
  if (file.empty()) return line;
  line += "  ";
  size_t left = room - display_width(line);
  if (display_width(file) <= left) return line + std::string(file);
  if (left <= 3) return line.substr(0, line.size() - 2);
  return line + "..." + tail_within(file, left - 3);
}
