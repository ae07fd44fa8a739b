// An update disc played through as a player would: Start pressed, the copy waited for, every
// message box recorded, photographed and dismissed, until update.exe ends. What happened is
// printed as records, one a line, for scripts/try-disc and scripts/demo.
//
// A record is UTF-8, its fields separated by tabs, the first naming its kind; a tab, CR, LF or
// '%' inside a field is written %09, %0D, %0A or %25:
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

namespace e2e {

// Arguments: update.exe on the disc, the disc folder, the game folder to register as GAMEPATH,
// the folder for the screenshots, and optionally the key (below HKEY_CURRENT_USER, code page
// 932) the game's installer writes, to register GAMEPATH there instead of under the list's key.
// Returns 0 when the run was followed to its end, 1 when the driver had to stop, 2 for a wrong
// command line.
int run_player(int argc, char** argv);

}  // namespace e2e
