// The preview of an update against a game folder; see preview.h. It walks the copied entries in
// list order with the updater's rules: one folder level made per file, a read-only, hidden or
// system game file kept (and its read-only flag cleared all the same), and a name listed twice
// finding its own earlier copy.
#include "preview.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <utility>

#include "console.h"
#include "game_folder.h"
#include "tree_scan.h"
#include "update/space_needed.h"

namespace {

// The game folder as the copies so far have left it: each name looked up once, then changed by
// the copies. Names are keyed as Windows compares them.
class GameState {
 public:
  explicit GameState(std::string dir) : folder_(std::move(dir)) {}

  // The reference stays valid: a map never moves its elements.
  GameItem& item(const std::string& name) {
    std::string key = game_name_key(name);
    auto it = items_.find(key);
    if (it == items_.end()) it = items_.emplace(key, folder_.look_up(name)).first;
    return it->second;
  }

 private:
  GameFolder folder_;
  std::map<std::string, GameItem> items_;
};

struct Step {
  Outcome outcome;
  std::string reason;
  PlannedCopy room;    // what the updater counts for this entry before its first copy
  bool older = false;  // the game's file it replaces is newer than the source
};

// Whether the file at path a was written after the one at b. The copy
// keeps the source's time, so a newer game file means an older version put in its place.
bool written_after(const std::string& a, const std::string& b) {
  std::error_code ea;
  std::error_code eb;
  auto ta = std::filesystem::last_write_time(file_path(a), ea);
  auto tb = std::filesystem::last_write_time(file_path(b), eb);
  return !ea && !eb && written_clearly_after(ta, tb);
}

// The folder part of a name, by its parts: "a\\b.txt" is in "a", as Windows reads it.
std::string folder_part(const std::string& name) {
  std::vector<std::string> parts = name_parts(name);
  std::string folder;
  for (size_t i = 0; i + 1 < parts.size(); ++i)
    folder += (i == 0 ? "" : "\\") + parts[i];
  return folder;
}

// Makes the file's folder as the updater does: only the innermost level. Empty when the folder
// is there afterwards, else why not.
std::string make_folder(GameState* game, const std::string& folder) {
  if (folder.empty()) return "";
  GameItem& item = game->item(folder);
  if (item.kind == GameItem::Kind::folder) return "";
  if (item.kind == GameItem::Kind::file) return "the game has a file " + shown(folder) + " there";
  std::string parent = folder_part(folder);
  if (!parent.empty() && game->item(parent).kind != GameItem::Kind::folder) {
    return "the folder " + shown(parent) +
           " is missing in the game, and the updater makes one folder level per file";
  }
  item.kind = GameItem::Kind::folder;
  return "";
}

std::string refusal(const GameItem& dest) {
  if (dest.kind == GameItem::Kind::folder) return "the game has a folder of that name";
  if (dest.kind != GameItem::Kind::file) return "";
  if (dest.read_only) {
    return "read-only game file: the updater keeps it, and clears the flag so that a second run "
           "replaces it";
  }
  if (dest.hidden) {
    return dest.dot_name ? "hidden game file (Wine hides a name that starts with a dot): the "
                           "updater keeps it"
                         : "hidden game file: the updater keeps it";
  }
  if (dest.system) return "system game file: the updater keeps it";
  return "";
}

Step copy_one(GameItem* dest, const ListedFile& file, const std::string& folder_problem) {
  std::string refused = refusal(*dest);
  if (!refused.empty()) return {Outcome::fails, refused, {0, 0}};
  uint64_t replaced = dest->kind == GameItem::Kind::file ? dest->size : 0;
  if (!file.source.exists) {
    return {Outcome::fails, "the source is missing on the disc", {0, replaced}};
  }
  PlannedCopy room{file.source.size, replaced};
  if (!folder_problem.empty()) return {Outcome::fails, folder_problem, room};
  Outcome outcome = Outcome::added;
  bool older = false;
  if (dest->kind == GameItem::Kind::file) {
    bool same = dest->size == file.source.size && same_contents(dest->native, file.source.path);
    outcome = same ? Outcome::identical : Outcome::replaces;
    older = !same && written_after(dest->native, file.source.path);
  }
  // The new file carries none of the old one's attributes; its bytes are the source's.
  *dest = GameItem{};
  dest->kind = GameItem::Kind::file;
  dest->size = file.source.size;
  dest->native = file.source.path;
  return {outcome, "", room, older};
}

Step preview_one(GameState* game, const ListedFile& file) {
  if (!file.safe) {
    return {Outcome::fails,
            "the name would land outside the game folder: the updater refuses it",
            {0, 0}};
  }
  std::string folder_problem = make_folder(game, folder_part(file.name));
  GameItem& dest = game->item(file.name);
  Step step = copy_one(&dest, file, folder_problem);
  dest.read_only = false;  // cleared after every copy of an accepted name, failed or not
  return step;
}

}  // namespace

void preview_against(const std::string& game_dir, const std::vector<ListedFile>& files, bool stops,
                     CheckReport* report) {
  GameState game(game_dir);
  std::vector<PlannedCopy> copies;
  for (const ListedFile& file : files) {
    if (!file.copied) continue;
    Step step = stops ? Step{Outcome::fails,
                             "the list is over a limit of the updater, which stops before its "
                             "first copy",
                             {0, 0}}
                      : preview_one(&game, file);
    if (file.safe && !stops) copies.push_back(step.room);
    uint64_t bytes = step.outcome == Outcome::fails ? 0 : file.source.size;
    report->entries.push_back(
        {file.index, file.line, cp932_to_utf8(file.name), step.outcome, step.reason, bytes});
    if (step.older) {
      report->notes.push_back(
          {file.line, NoteKind::older_than_installed,
           shown(file.name) + ": the game's file is newer than the disc's, which would put an "
                              "older version in its place (OLD and NEW the wrong way round?)"});
    }
  }
  bool all_identical =
      std::all_of(report->entries.begin(), report->entries.end(),
                  [](const PreviewEntry& e) { return e.outcome == Outcome::identical; });
  if (!report->entries.empty() && all_identical) {
    report->notes.push_back({0, NoteKind::changes_nothing,
                             "every copied file is identical to the game's: the update changes "
                             "nothing in this game (is it up to date already?)"});
  }
  DiskSpace disk = disk_space_of(game_dir);
  SpaceCheck& space = report->space;
  // The updater's own default where the drive doesn't say.
  space.cluster_size = disk.known && disk.cluster_size != 0 ? disk.cluster_size : kUsualClusterSize;
  space.needed =
      peak_space_needed(copies.data(), static_cast<int>(copies.size()), space.cluster_size);
  space.free_known = disk.known;
  space.free = disk.free;
  space.fits = !disk.known || space.needed <= disk.free;
}
