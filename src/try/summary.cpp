// What a played run comes to; see summary.h.
#include "summary.h"

#include <cstdio>

namespace {

// The field, or empty when the record is short of it (a record from a run cut off midway).
const std::string& field(const Record& record, size_t i) {
  static const std::string none;
  return i < record.size() ? record[i] : none;
}

bool starts_with(const std::string& text, const char* prefix) {
  return text.rfind(prefix, 0) == 0;
}

std::string one_line(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return text;
}

// What a failure's cause means, for the publisher.
std::string cause_text(const std::string& cause, const std::string& detail) {
  if (cause == "read-only") {
    return "read-only game file: Windows refuses to replace it. The player sees this box, then the "
           "completion message; the file keeps its old bytes but loses its read-only flag, so a "
           "second run replaces it.";
  }
  if (cause == "hidden-system") {
    return "hidden or system game file: the updater keeps it, as Windows' own copy refuses it; "
           "the game's installer should not mark the file hidden or system.";
  }
  if (cause == "missing-folder-level") {
    return "missing folder level: the game has no folder \"" + detail +
           "\", and the updater makes only one new folder level per file. List a file in \"" +
           detail + "\" before this one.";
  }
  if (cause == "folder-not-made") {
    return "the folder \"" + detail +
           "\" could not be made in the game (a file of that name is in the way?).";
  }
  if (cause == "missing-source") return "missing source on the disc: " + detail;
  if (cause == "unsafe-name")
    return "name refused as unsafe: it could land outside the game folder.";
  if (cause == "path-too-long")
    return "path too long: the game folder and the name's folders make 260 bytes or more.";
  if (cause == "folder-in-the-way") return "a folder of that name is in the game.";
  if (cause == "disk-full") return "disk full on the game's drive (" + detail + ").";
  return "unknown: the file may be open in another program, or the disc unreadable.";
}

// What the run's last message box says about the run.
std::string final_text(const std::string& kind) {
  if (kind == "completion") return "the completion message";
  if (kind == "not-installed") {
    return "the run stopped: the game's key holds no GAMEPATH (is the list's key the one the "
           "game's installer writes? --key checks it)";
  }
  if (kind == "limit") return "the run stopped: the list goes over a limit, nothing was copied";
  if (kind == "no-folder") return "the run stopped: the game folder does not exist";
  if (kind == "folder-is-file") return "the run stopped: the game folder is a file";
  if (kind == "no-room")
    return "the run stopped before the first copy: the disc does not fit on the game's drive";
  if (kind == "no-window")
    return "the run stopped: a window could not be shown, nothing was copied";
  if (kind == "code-page")
    return "the run stopped: this Windows does not run the updater in code page 932";
  return "another message";
}

// The run as the records tell it, read in one pass.
struct Run {
  std::vector<std::string> lines;  // list, key, game folder, in record order
  std::vector<std::string> failures;
  std::vector<std::string> other_boxes;
  std::string list_key;
  std::string other_key;  // the installer's key, when the updater did not find GAMEPATH there
  std::string final_kind = "none";
  std::string final_box;
  std::string failure_box;
  std::string exit_code;
  std::string error;
  int boxes = 0;
};

void read_list(const Record& r, Run* run) {
  run->lines.push_back("list: \"" + field(r, 2) + "\", key HKCU\\" + field(r, 5) +
                       ", data folder \"" + field(r, 4) + "\"; the updater copies " + field(r, 6) +
                       " of its " + field(r, 7) + " file line(s)");
  run->list_key = field(r, 5);
  if (field(r, 6) == "0") {
    run->lines.emplace_back(
        "  warning: the list copies no files (saved with CR-only line ends, or no #FILE "
        "section?)");
  }
}

void read_box(const Record& r, Run* run) {
  ++run->boxes;
  run->final_kind = "none";
  const std::string& kind = field(r, 1);
  if (kind == "failure") {
    run->failure_box = one_line(field(r, 2) + ": " + field(r, 3));
  } else if (kind == "test") {
    run->other_boxes.push_back("    TEST: " + field(r, 3));
  } else {
    run->final_kind = kind;
    run->final_box = field(r, 2) + " / " + field(r, 3);
  }
}

void read_record(const Record& r, Run* run) {
  const std::string& kind = field(r, 0);
  if (kind == "list") {
    read_list(r, run);
  } else if (kind == "unknown-type") {
    run->lines.push_back("  list line " + field(r, 1) + ": install type \"" + field(r, 2) +
                         "\" not found: the player sees two \"TEST\" boxes, and the files under "
                         "it are not copied");
  } else if (kind == "limit") {
    run->lines.push_back("  list line " + field(r, 1) +
                         ": over a limit of the updater: " + field(r, 2));
  } else if (kind == "gamepath") {
    run->lines.push_back("game folder: " + field(r, 2) + " (GAMEPATH " + field(r, 1) + ")");
  } else if (kind == "key") {
    run->lines.push_back("key: GAMEPATH registered under the installer's key HKCU\\" + field(r, 1) +
                         ", as on a player's PC");
    if (field(r, 2) != "same") run->other_key = field(r, 1);
  } else if (kind == "box") {
    read_box(r, run);
  } else if (kind == "failure") {
    std::string n = std::to_string(run->failures.size() / 2 + 1);
    run->failures.push_back("  " + n + ". " + field(r, 2) + ": " +
                            cause_text(field(r, 3), field(r, 4)));
    run->failures.push_back("     the box: " + run->failure_box);
  } else if (kind == "end") {
    run->exit_code = field(r, 1);
  } else if (kind == "error") {
    run->error = field(r, 1);
  }
}

std::string final_line(const Run& run) {
  if (!run.error.empty() || run.exit_code.empty()) {
    return "final message: none: the run could not be followed to its end" +
           (run.error.empty() ? std::string() : ": " + run.error);
  }
  if (run.final_kind == "none")
    return "final message: none: update.exe ended (exit code " + run.exit_code + ") without one";
  return "final message: " + one_line(run.final_box) + " (" + final_text(run.final_kind) + ")";
}

}  // namespace

std::string record_line(const Record& record) {
  std::string line;
  for (size_t i = 0; i < record.size(); ++i) {
    if (i > 0) line += '\t';
    for (char c : record[i]) {
      if (c == '%' || c == '\t' || c == '\n' || c == '\r') {
        char code[4];
        (void)snprintf(code, sizeof code, "%%%02X", static_cast<unsigned char>(c));
        line += code;
      } else {
        line += c;
      }
    }
  }
  return line;
}

std::string box_kind(const std::string& title_old, const std::string& caption,
                     const std::string& text) {
  if (caption == "TEST") return "test";
  if (caption == "ファイルコピー失敗") return "failure";
  if (text == "ＵＰＤＡＴＥが完了しました。") return "completion";
  if (text == title_old + "がインストールされていません") return "not-installed";
  if (starts_with(text, "SETUP.LST の")) return "limit";
  if (text == "フォルダがありません。") return "no-folder";
  if (caption == "フォルダ名の失敗") return "folder-is-file";
  if (starts_with(text, "ゲームのフォルダがあるドライブの空き容量が足りません。")) return "no-room";
  if (starts_with(text, "ウィンドウを表示できませんでした。")) return "no-window";
  if (starts_with(text, "このUPDATEは、日本語の文字コード")) return "code-page";
  return "other";
}

Summary summarize(const std::vector<Record>& records, const Listing& before, const Listing& after) {
  Run run;
  for (const Record& r : records)
    read_record(r, &run);
  std::string out;
  for (const std::string& line : run.lines)
    out += line + "\n";
  if (!run.other_key.empty()) {
    out += "  wrong key: the list names HKCU\\" + run.list_key +
           ", the game's installer writes HKCU\\" + run.other_key + ":\n";
    out += "  the updater finds no GAMEPATH, and every player gets the \"not installed\" message\n";
  }
  out += copied_summary(before, after);
  out += "failure boxes: " + std::to_string(run.failures.size() / 2) + "\n";
  for (const std::string& line : run.failures)
    out += line + "\n";
  if (!run.other_boxes.empty()) {
    out += "other boxes before the end:\n";
    for (const std::string& line : run.other_boxes)
      out += line + "\n";
  }
  out += final_line(run) + "\n";
  Summary summary;
  summary.text = out;
  summary.clean = run.final_kind == "completion" && run.boxes == 1 && !run.exit_code.empty() &&
                  run.other_key.empty();
  return summary;
}
