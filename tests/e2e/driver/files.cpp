// Files and folders of a test: the update medium, the game folder, their contents.
#include "files.h"

namespace e2e {

std::string fresh_folder(const std::string& name) {
  std::string path = join(work_folder(), name);
  remove_tree(path);
  make_folders(path);
  return path;
}

void Medium::write_list(const std::string& bytes) const {
  write_file(join(root, "update.ini"), bytes);
}

std::string Medium::data_path(const std::string& name) const {
  return join(join(root, data_folder), name);
}

void Medium::add_file(const std::string& name, const std::string& bytes) const {
  std::string path = data_path(name);
  make_folders(path.substr(0, last_backslash(path)));
  write_file(path, bytes);
}

Medium fresh_medium(const std::string& name, const std::string& data_folder) {
  Medium medium{fresh_folder(name), data_folder};
  make_folders(join(medium.root, data_folder));
  return medium;
}

}  // namespace e2e
