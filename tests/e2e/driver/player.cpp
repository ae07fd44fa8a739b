// An update disc played through as a player would; see player.h for the records it prints.
#include "player.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <initializer_list>
#include <string>

#include "bytes.h"
#include "dialogs.h"
#include "disc_plan.h"
#include "environment.h"
#include "screenshot.h"
#include "update_run.h"
#include "watchdog.h"

namespace e2e {

namespace {

// One file is copied per tick, but a large one takes its whole time inside its tick.
constexpr DWORD kNextWindowMs = 600000;
constexpr DWORD kRunDeadlineMs = 3600000;

std::string escaped(const std::string& utf8) {
  std::string out;
  for (char c : utf8) {
    if (c == '%' || c == '\t' || c == '\n' || c == '\r') {
      char code[4];
      (void)snprintf(code, sizeof code, "%%%02X", static_cast<unsigned char>(c));
      out += code;
    } else {
      out += c;
    }
  }
  return out;
}

// Fields in code page 932 (or ASCII), printed as UTF-8.
void record(std::initializer_list<std::string> fields) {
  std::string line;
  for (const std::string& field : fields)
    line += (line.empty() ? "" : "\t") + escaped(utf8_of(field));
  (void)printf("%s\n", line.c_str());
  (void)fflush(stdout);
}

void record_plan(const DiscPlan& plan) {
  record({"list", plan.list_found ? "1" : "0", plan.title, plan.title_old, plan.data_folder,
          plan.key, std::to_string(plan.copies.size()), std::to_string(plan.file_count)});
  for (const ListNote& note : plan.unknown_types)
    record({"unknown-type", std::to_string(note.line), note.text});
  if (plan.over_limit) record({"limit", std::to_string(plan.limit.line), plan.limit.text});
  record({"gamepath", plan.game_path, plan.destination});
  for (size_t i = 0; i < plan.copies.size(); ++i) {
    const PlannedCopy& copy = plan.copies[i];
    record({"copy", std::to_string(i + 1), copy.name, copy.paths.source, copy.paths.destination});
  }
}

std::string box_kind(const DiscPlan& plan, const std::string& caption, const std::string& text) {
  if (caption == "TEST") return "test";
  if (caption == "ファイルコピー失敗") return "failure";
  if (text == "ＵＰＤＡＴＥが完了しました。") return "completion";
  if (text == plan.title_old + "がインストールされていません") return "not-installed";
  if (text.rfind("SETUP.LST の", 0) == 0) return "limit";
  if (text == "フォルダがありません。") return "no-folder";
  if (caption == "フォルダ名の失敗") return "folder-is-file";
  if (text.rfind("ゲームのフォルダがあるドライブの空き容量が足りません。", 0) == 0)
    return "no-room";
  if (text.rfind("ウィンドウを表示できませんでした。", 0) == 0) return "no-window";
  if (text.rfind("このUPDATEは、日本語の文字コード", 0) == 0) return "code-page";
  return "other";
}

class Player {
 public:
  Player(UpdateRun& run, const DiscPlan& plan, std::string shots)
      : run_(run), plan_(plan), shots_(std::move(shots)) {}

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
    std::string kind = box_kind(plan_, caption, text);
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
    ULONGLONG deadline = GetTickCount64() + kWindowTimeoutMs;
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
      save_screenshot(run_, window, shots_, name);
    } catch (const DriverError&) {
      return "-";
    }
    return name;
  }

  UpdateRun& run_;
  const DiscPlan& plan_;
  std::string shots_;
  int shot_count_ = 0;
  size_t failure_cursor_ = 0;
};

void play_disc(const std::string& exe, const std::string& disc, const std::string& game,
               const std::string& shots, const std::string& installer_key) {
  DiscPlan plan = plan_disc(disc, game);
  record_plan(plan);
  if (!installer_key.empty()) {
    bool found = register_installer_key(plan, installer_key);
    record({"key", installer_key, found ? "same" : "other"});
  } else if (!plan.over_limit) {  // over a limit the updater stops before it reads the registry
    register_plan(plan);
  }
  UpdateRun run(exe, disc);
  Player(run, plan, shots).play();
}

}  // namespace

int run_player(int argc, char** argv) {
  if (argc != 4 && argc != 5) {
    (void)fprintf(stderr,
                  "usage: e2e_driver.exe --player UPDATE.EXE DISC-FOLDER GAME-FOLDER SHOTS-FOLDER "
                  "[INSTALLER-KEY]\n");
    return 2;
  }
  (void)_setmode(_fileno(stdout), _O_BINARY);  // records end in LF alone
  start_watchdog();
  arm_watchdog("the run", kRunDeadlineMs);
  try {
    play_disc(argv[0], argv[1], argv[2], argv[3], argc == 5 ? argv[4] : "");
  } catch (const DriverError& error) {
    record({"error", error.what()});
    return 1;
  }
  return 0;
}

}  // namespace e2e
