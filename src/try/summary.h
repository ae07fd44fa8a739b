// What a played run comes to: the record of each step, kept one a line, and the summary a
// publisher reads from it and from the game's listings before and after.
//
// A record's fields are UTF-8, the first naming its kind:
//   list  found title title_old path key copies file-lines    what the list says
//   unknown-type line name  /  limit line text                   problems of the list
//   gamepath registered normalised                               the game folder
//   key   installer-key same|other                               with an installer's key: whether
//                                                                the updater finds GAMEPATH there
//   copy  n name source destination                              each copy, in order
//   window kind caption shot                                     update-dialog, filecopy-dialog...
//   box   kind caption text shot                                 test, failure, completion...
//   failure n name cause detail                                  why the box before it came
//   end   exit-code  /  error why
#pragma once

#include <string>
#include <vector>

#include "listing.h"

using Record = std::vector<std::string>;

// One line of the record file: the fields separated by tabs, a tab, CR, LF or '%' inside a field
// written %09, %0D, %0A or %25.
std::string record_line(const Record& record);

// What kind of box update.exe shows, from its caption and text (code page 932) and the list's
// TITLE_OLD: test, failure, completion, not-installed, limit, no-folder, folder-is-file, no-room,
// no-window, code-page or other.
std::string box_kind(const std::string& title_old, const std::string& caption,
                     const std::string& text);

struct Summary {
  std::string text;  // the lines a publisher reads
  // The run ended with the completion message, showed no other box and, given the installer's
  // key, found GAMEPATH under the list's.
  bool clean = false;
};

Summary summarize(const std::vector<Record>& records, const Listing& before, const Listing& after);
