// The entries of the update, their order and every name the updater can't carry.
#include "disc_plan.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>

#include "disc/console.h"
#include "disc/cp932_text.h"
#include "disc/names.h"
#include "plan/copy_plan.h"
#include "plan/copy_selection.h"
#include "plan/file_names.h"
#include "setuplist/setup_record.h"
#include "setuplist/text.h"

namespace {

std::vector<std::string> levels(const std::string& rel) {
  return name_levels(rel, NameText::file_system);
}

// Every folder's own files come before the files of its subfolders, so a new folder's parent is
// made by a file of its own whenever it has one: no other order makes more folders.
bool copy_order(const DiscEntry& a, const DiscEntry& b) {
  std::vector<std::string> la = levels(a.file->rel);
  std::vector<std::string> lb = levels(b.file->rel);
  la.back().insert(0, 1, '\0');  // a file sorts before the subfolders beside it
  lb.back().insert(0, 1, '\0');
  return la < lb;
}

// Why the list can't carry a name, or empty. list_name is set when it has a code page 932 form.
std::string name_problem(const NewFile& file, const ListSource& source, std::string* list_name) {
  for (const std::string& level : levels(file.rel)) {
    if (level.find('\\') != std::string::npos) {
      return "has '\\' in a name, which Windows reads as a folder separator";
    }
  }
  std::string joined = file.rel;  // as the list will hold it, not as shown
  std::replace(joined.begin(), joined.end(), '/', '\\');
  Cp932Text text = utf8_to_cp932(joined);
  if (!text.ok()) return "has " + cp932_failure(text);
  *list_name = text.bytes;
  if (text.bytes.size() >= static_cast<size_t>(kFileNameWidth)) {
    return "is " + std::to_string(text.bytes.size()) +
           " bytes in code page 932; the updater takes at most " +
           std::to_string(kFileNameWidth - 1) + " (shorten the name or its folders)";
  }
  // With no data folder the files sit beside the disc's own update.ini and update.exe.
  NameCheck check = check_file_name(text.bytes.c_str(), source.data_folder.empty());
  if (check.refusal != NameRefusal::none) return name_refusal_text(check.refusal);
  if (joined[0] == '#' || joined[0] == '[') {
    return std::string("begins with '") + joined[0] + "': update.ini would read it as a " +
           (joined[0] == '#' ? "keyword line" : "type header") + ", not as a file";
  }
  return "";
}

// Names that differ only in the case of their letters are one name on Windows and on the disc.
// Names that differ only in how their kana are written (が, or か and a separate voicing mark, as
// some systems and archivers write them) are two names on Windows, but code page 932 has only
// the composed form: the conversion makes them one.
void find_case_clashes(const TreeDiff& diff, std::vector<std::string>* problems) {
  std::unordered_map<std::string, const std::string*> first;  // by key: a game holds thousands
  first.reserve(diff.files.size() + diff.new_folders.size());
  auto note = [&](const std::string& key, const std::string& rel) {
    auto [it, fresh] = first.emplace(key, &rel);
    if (fresh) return;
    if (*it->second == rel) {
      problems->push_back("two names in NEW become " + shown_name(rel) +
                          " in code page 932, which writes kana with their voicing marks only "
                          "composed (one of them is written decomposed); keep one of them");
    } else {
      problems->push_back(shown_name(*it->second) + " and " + shown_name(rel) +
                          " are one name on Windows; keep one of them");
    }
  };
  for (const std::string& folder : diff.new_folders)
    note(windows_key(folder), folder);
  for (const NewFile& file : diff.files)
    note(file.key, file.rel);
}

// The updater can't put a file where the game has a folder, nor a folder where it has a file.
// The game's entry is named as OLD spells it: Windows may match it to a name spelt otherwise.
std::string old_clash(const TreeDiff& diff, const std::string& rel) {
  if (auto old = diff.old_folders.find(windows_key(rel)); old != diff.old_folders.end()) {
    return "is the folder " + shown_name(old->second) +
           " in the game (OLD) to Windows; the updater can't replace a folder with a file";
  }
  for (const std::string& folder : folders_above(rel, NameText::file_system)) {
    if (auto old = diff.old_files.find(windows_key(folder)); old != diff.old_files.end()) {
      return "needs the folder " + shown_name(folder) + ", which is the file " +
             shown_name(old->second) +
             " in the game (OLD) to Windows; the updater can't replace it";
    }
  }
  return "";
}

int type_for(const ListSource& source, const std::string& list_name) {
  auto it = source.earlier_types.find(game_name_key(list_name));
  return it != source.earlier_types.end() ? it->second : kFirstType;
}

// A header is the type's name, which must read as a header, and it is looked up as the first type
// name that begins with it.
void check_headers(const DiscPlan& plan, const ListSource& source,
                   std::vector<std::string>* problems) {
  std::set<int> used;
  for (const DiscEntry& entry : plan.entries)
    used.insert(entry.type);
  for (int type : used) {
    if (static_cast<size_t>(type) >= source.types.size()) continue;  // reported with the types
    const std::string& header = source.types[static_cast<size_t>(type)];
    if (header.size() < 2 || header[0] != '[' || header[1] == ']') {
      problems->push_back("install type " + std::to_string(type) + " \"" + cp932_to_utf8(header) +
                          "\" can't head files: a header begins with '[' and a name");
      continue;
    }
    for (int earlier = 0; earlier < type; ++earlier) {
      if (source.types[static_cast<size_t>(earlier)].compare(0, header.size(), header) == 0) {
        problems->push_back("install type " + std::to_string(type) + " \"" + cp932_to_utf8(header) +
                            "\" would be read as type " + std::to_string(earlier) +
                            ", whose name begins the same");
        break;
      }
    }
  }
}

// OLD as the updater's copy plan sees it: its folders and files by name as Windows matches them.
// Every source is there.
struct OldGame {
  const TreeDiff* diff;
};

GameEntry old_entry(void* context, const char* name) {
  const TreeDiff& diff = *static_cast<const OldGame*>(context)->diff;
  std::string key = game_name_key(name);
  bool folder = diff.old_folders.count(key) != 0;
  bool file = !folder && diff.old_files.count(key) != 0;
  return GameEntry{folder || file, folder, 0, false, false, false};
}

bool source_there(void*, int32_t, uint64_t* size) {
  *size = 0;
  return true;
}

// The updater's own plan of the entries against OLD: a file whose folder it can't make, because
// the level above is neither in OLD nor made by an earlier file. The folders are then named from
// the entry's own UTF-8 name, whose levels are the same.
void check_folders(const DiscPlan& plan, const TreeDiff& diff, std::vector<std::string>* problems) {
  FileList list{};
  std::vector<const DiscEntry*> listed;
  for (const DiscEntry& entry : plan.entries) {
    // Names the list can't hold, and files over its limit, are refused already.
    if (entry.list_name.empty() || entry.list_name.size() >= static_cast<size_t>(kFileNameWidth) ||
        list.file_count == kFileCapacity) {
      continue;
    }
    copy_bounded(list.file_name[list.file_count], kFileNameWidth, entry.list_name.c_str());
    list.type_mask[list.file_count++] = 1;
    listed.push_back(&entry);
  }
  OldGame old{&diff};
  GameView view{&old, old_entry, source_there, ""};
  auto copy_plan = std::make_unique<CopyPlan>();
  plan_copy(list, kCopiedTypesMask, view, copy_plan.get());
  std::set<std::string> reported;
  for (int32_t i = 0; i < copy_plan->step_count; ++i) {
    const PlanStep& step = copy_plan->steps[i];
    if (step.refusal != StepRefusal::missing_folder) continue;
    std::vector<std::string> above =
        folders_above(listed[static_cast<size_t>(step.entry)]->file->rel, NameText::file_system);
    const std::string& folder = above.back();
    const std::string& parent = above[above.size() - 2];
    if (!reported.insert(windows_key(parent)).second) continue;
    problems->push_back("the new folder " + shown_name(folder) +
                        " can't be made: the updater makes only the innermost folder of each "
                        "file, and " +
                        shown_name(parent) +
                        " is neither in the game (OLD) nor made by a file of this update. Put a "
                        "file directly in " +
                        shown_name(parent) +
                        " (and in each new level above it), or ship that folder with the game");
  }
}

void find_empty_new_folders(const TreeDiff& diff, DiscPlan* plan) {
  std::set<std::string> holding_files;
  std::string last_folder;  // the files come sorted: most share the folder of the one before
  for (const NewFile& file : diff.files) {
    std::string folder = folder_of(file.rel, NameText::file_system);
    if (folder.empty() || folder == last_folder) continue;
    last_folder = folder;
    for (const std::string& above : folders_above(file.rel, NameText::file_system))
      holding_files.insert(windows_key(above));
  }
  for (const std::string& folder : diff.new_folders) {
    std::string key = windows_key(folder);
    if (holding_files.count(key) == 0 && diff.old_folders.count(key) == 0) {
      plan->empty_new_folders.push_back(shown_name(folder));
    }
  }
}

}  // namespace

std::string shown_name(const std::string& rel) {
  std::string name = printable(rel);
  std::replace(name.begin(), name.end(), '/', '\\');
  return name;
}

DiscPlan plan_disc(const TreeDiff& diff, const ListSource& source) {
  DiscPlan plan;
  find_case_clashes(diff, &plan.problems);
  for (const std::string& rel : diff.skipped) {
    plan.problems.push_back(shown_name(rel) +
                            " in NEW is neither a file nor a folder (a device, a pipe or a link "
                            "that leads nowhere); the updater carries only files");
  }
  for (const std::string& rel : diff.old_clashes) {
    plan.problems.push_back(shown_name(rel) +
                            " in OLD is neither a file nor a folder, and NEW has an entry of that "
                            "name; make OLD the game as players have it");
  }
  for (const NewFile& file : diff.files) {
    if (file.change == Change::unchanged) continue;
    DiscEntry entry{&file, "", shown_name(file.rel), kFirstType};
    std::string problem = name_problem(file, source, &entry.list_name);
    if (problem.empty()) problem = old_clash(diff, file.rel);
    if (!problem.empty()) plan.problems.push_back(entry.shown + " " + problem);
    entry.type = type_for(source, entry.list_name);
    plan.entries.push_back(std::move(entry));
  }
  std::stable_sort(plan.entries.begin(), plan.entries.end(), copy_order);
  if (plan.entries.size() > static_cast<size_t>(kFileCapacity)) {
    std::string over;
    for (size_t i = kFileCapacity; i < plan.entries.size(); ++i)
      over += "\n    " + plan.entries[i].shown;
    plan.problems.push_back(
        std::to_string(plan.entries.size()) +
        " files differ from OLD; the updater carries at most " + std::to_string(kFileCapacity) +
        " (make two updates, or ship some with the game). Over the limit:" + over);
  }
  check_headers(plan, source, &plan.problems);
  check_folders(plan, diff, &plan.problems);
  find_empty_new_folders(diff, &plan);
  return plan;
}
