// What update.ini says besides its files: the record and the install types, from the command
// line or kept from an earlier list (--from), checked against what the updater can hold.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

// Values as given on the command line (UTF-8); an option not given is empty.
struct ListOptions {
  std::optional<std::string> title, title_old, path, reg_p, reg_s, reg_t;
  std::vector<std::string> types;
  std::optional<std::string> from;  // an update.ini, or a folder holding one
};

struct ListSource {
  // Code page 932 bytes, as update.ini will hold them.
  std::string TITLE, TITLE_OLD, PATH, REG_P, REG_S, REG_T;
  std::vector<std::string> types;
  // From --from: the type of each file the earlier list copied, keyed by game_name_key of its name.
  std::map<std::string, int> earlier_types;
  // The data folder below OUT, UTF-8, one element per folder level; empty for none.
  std::vector<std::string> data_folder;
};

// The type a new file goes under, and the name of the type when none is given.
constexpr int kFirstType = 0;
extern const char kDefaultTypeName[];  // UTF-8

// Fills *source from the options and the earlier list. A value the updater can't hold is added
// to *problems; false, with the reason in *error, when the earlier list can't be read.
bool load_list_source(const ListOptions& options, ListSource* source,
                      std::vector<std::string>* problems, std::string* error);
