// The game's copy listed before and after the run; see listing.h.
#include "listing.h"

#include <map>

#include "disc/display_width.h"

std::string listing_file(const Listing& listing) {
  std::string out;
  for (const ListingEntry& e : listing) {
    out += e.id + "\t" + std::to_string(e.size) + "\t" + (e.read_only ? "read-only" : "-") + "\t" +
           e.md5 + "\t" + e.name + "\n";
  }
  return out;
}

std::string listing_text(const Listing& listing) {
  if (listing.empty()) return "    (no files)\n";
  std::string out;
  for (const ListingEntry& e : listing) {
    std::string size = std::to_string(e.size);
    out += "    " + pad_to_width(e.name, 24) + " " +
           std::string(size.size() < 8 ? 8 - size.size() : 0, ' ') + size + " bytes  md5 " +
           e.md5.substr(0, 8) + (e.read_only ? "  read-only" : "") + "\n";
  }
  return out;
}

std::string copied_summary(const Listing& before, const Listing& after) {
  std::map<std::string, const ListingEntry*> old;
  for (const ListingEntry& e : before)
    old[e.name] = &e;
  std::string lines;
  int added = 0;
  int replaced = 0;
  int same = 0;
  for (const ListingEntry& e : after) {
    auto found = old.find(e.name);
    if (found == old.end()) {
      lines += "    new        " + e.name + "\n";
      ++added;
      continue;
    }
    const ListingEntry& was = *found->second;
    old.erase(found);
    // The same file untouched; a file written over in place (the plain copy of a deep game
    // folder) keeps its id but not its bytes.
    if (was.id == e.id && was.md5 == e.md5) continue;
    if (was.md5 != e.md5) {
      lines += "    replaced   " + e.name + "\n";
      ++replaced;
    } else {
      lines += "    unchanged  " + e.name + " (copied, the same bytes as before)\n";
      ++same;
    }
  }
  for (const auto& [name, entry] : old)
    lines += "    GONE       " + name + " (in the game before the run)\n";
  return "copied: " + std::to_string(added + replaced + same) +
         " file(s): " + std::to_string(added) + " new, " + std::to_string(replaced) +
         " replaced, " + std::to_string(same) + " unchanged\n" + lines;
}
