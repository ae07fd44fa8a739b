// The tools' view of a game folder and a medium for the copy plan; see game_plan.h.
#include "game_plan.h"

#include "plan/copy_selection.h"
#include "setuplist/setup_record.h"

namespace {

struct Sight {
  GameFolder* game;
  const std::vector<ListedFile>* files;
};

GameEntry game_entry(void* context, const char* name) {
  auto* sight = static_cast<Sight*>(context);
  if (sight->game == nullptr) return GameEntry{false, false, 0, false, false, false};
  GameItem item = sight->game->look_up(name);
  return GameEntry{item.kind != GameItem::Kind::missing,
                   item.kind == GameItem::Kind::folder,
                   item.size,
                   item.read_only,
                   item.hidden,
                   item.system};
}

bool source_size(void* context, int32_t entry, uint64_t* size) {
  const auto* sight = static_cast<const Sight*>(context);
  const SourceFile& source = (*sight->files)[static_cast<size_t>(entry)].source;
  *size = source.size;
  return source.exists;
}

}  // namespace

void plan_against(GameFolder* game, const std::vector<ListedFile>& files, CopyPlan* plan) {
  Sight sight{game, &files};
  // The players' folders have paths of their own: no length is known here.
  GameView view{&sight, game_entry, source_size, ""};
  plan_copy(FileTable, kCopiedTypesMask, view, plan);
}
