// An update disc played through as a player would; see player.h.
#include "player.h"

#include <cstdio>
#include <initializer_list>

#include "disc/cp932_text.h"
#include "drive/dialogs.h"
#include "drive/error.h"
#include "drive/screenshot.h"

using drive::click_close_box;
using drive::control_text;
using drive::DriverError;
using drive::kMessageBoxTextId;
using drive::press;
using drive::read_text;
using drive::Screen;
using drive::shows;
using drive::window_text;

namespace {

// One file is copied per tick, but a large one takes its whole time inside its tick: 10 minutes
// is a 4 GB file from a slow DVD.
constexpr DWORD kNextWindowMs = 600000;

// Fields in code page 932 (or ASCII), recorded as UTF-8.
Record fields_of(std::initializer_list<std::string> fields) {
  Record record;
  for (const std::string& field : fields)
    record.push_back(cp932_to_utf8(field));
  return record;
}

class Player {
 public:
  Player(drive::UpdateRun& run, const RunPlan& plan, std::string shots, const RecordSink& sink)
      : run_(run), plan_(plan), shots_(std::move(shots)), sink_(sink) {}

  // Answers every window until the program ends.
  void play() {
    while (HWND window = run_.next_window(kNextWindowMs))
      answer(window);
    record({"end", std::to_string(run_.exit_code())});
  }

 private:
  // The UPDATE dialog's labels have the id a message box gives its text: it is told apart first.
  void answer(HWND window) {
    if (shows(window, Screen::update_dialog)) {
      std::string shot = shoot(window, "update-dialog");
      record({"window", "update-dialog", window_text(window), shot});
      press(window, IDOK);  // 開始
    } else if (shows(window, Screen::filecopy_dialog)) {
      std::string caption = window_text(window);
      std::string shot = shows_progress(window) ? shoot(window, "filecopy-dialog") : "-";
      record({"window", "filecopy-dialog", caption, shot});
    } else if (shows(window, Screen::message_box) && !shows(window, Screen::folder_browser)) {
      answer_box(window);
    } else {
      bool browser = shows(window, Screen::folder_browser);
      std::string shot = shoot(window, browser ? "folder-browser" : "window");
      record({"window", browser ? "folder-browser" : "other", window_text(window), shot});
      click_close_box(window);
    }
  }

  void answer_box(HWND box) {
    std::string caption = window_text(box);
    std::string text = control_text(box, kMessageBoxTextId);
    std::string kind = box_kind(plan_.title_old, caption, text);
    record({"box", kind, caption, text, shoot(box, kind)});
    if (kind == "failure") {
      FailureCause found = explain_failure(plan_, text, &failure_cursor_);
      const std::string& name = found.copy < 0 ? found.detail : plan_.copies[found.copy].name;
      record({"failure", std::to_string(found.copy + 1), name, found.cause, found.detail});
    }
    run_.dismiss(box);
  }

  // Whether the copy dialog shows its first file; a list that copies nothing closes it first.
  static bool shows_progress(HWND dialog) {
    ULONGLONG deadline = GetTickCount64() + drive::kWindowTimeoutMs;
    std::string text;
    while (IsWindow(dialog) && GetTickCount64() < deadline) {
      if (read_text(GetDlgItem(dialog, 1009), &text) && !text.empty()) return true;
      Sleep(5);
    }
    return false;
  }

  // A picture that can't be taken (the window went away first) is no reason to stop the run.
  std::string shoot(HWND window, const std::string& kind) {
    if (shots_.empty()) return "-";
    char name[64];
    (void)snprintf(name, sizeof name, "%02d-%s", ++shot_count_, kind.c_str());
    try {
      drive::save_screenshot(run_, window, shots_, name);
    } catch (const DriverError&) {
      return "-";
    }
    return name;
  }

  void record(std::initializer_list<std::string> fields) { sink_(fields_of(fields)); }

  drive::UpdateRun& run_;
  const RunPlan& plan_;
  std::string shots_;
  const RecordSink& sink_;
  int shot_count_ = 0;
  size_t failure_cursor_ = 0;
};

}  // namespace

void record_plan(const RunPlan& plan, const RecordSink& sink) {
  auto record = [&sink](std::initializer_list<std::string> fields) { sink(fields_of(fields)); };
  record({"list", plan.list_found ? "1" : "0", plan.title, plan.title_old, plan.data_folder,
          plan.key, std::to_string(plan.copies.size()), std::to_string(plan.file_count)});
  for (const ListNote& note : plan.unknown_types)
    record({"unknown-type", std::to_string(note.line), note.text});
  if (plan.over_limit) record({"limit", std::to_string(plan.limit.line), plan.limit.text});
  record({"gamepath", plan.game_path, plan.destination});
  for (size_t i = 0; i < plan.copies.size(); ++i) {
    const RunCopy& copy = plan.copies[i];
    record({"copy", std::to_string(i + 1), copy.name, copy.paths.source, copy.paths.destination});
  }
}

void play_run(drive::UpdateRun& run, const RunPlan& plan, const std::string& shots,
              const RecordSink& sink) {
  try {
    Player(run, plan, shots, sink).play();
  } catch (const DriverError& error) {
    sink({"error", error.what()});  // already UTF-8
  }
}
