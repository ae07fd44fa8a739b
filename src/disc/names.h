// Names as the updater and Windows read them, for both publisher's tools: the one splitter of a
// name into its folder levels, and the one key that is equal for two names Windows takes for the
// same file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// What a name's bytes are, and what separates its levels.
enum class NameText {
  cp932,        // from a list: '\' and '/'; a second byte may be 0x5C, which is no separator
  utf8,         // from the command line: '\' and '/'
  file_system,  // a relative path from the file system, UTF-8: '/' only (on Linux a '\' is
                // part of a name, which Windows will refuse)
  composed,     // the same, composed already (as scan_tree gives its names)
};

// Every level of a name between its separators, read by whole characters,
// empty ones included: "a\\\\b\\" gives "a", "", "b", "".
std::vector<std::string> name_levels(std::string_view name, NameText text);
// The levels Windows keeps: empty and "." levels dropped.
std::vector<std::string> name_parts(std::string_view name, NameText text = NameText::cp932);
// Offset just past the last separator of name; 0 when there is none.
size_t after_last_separator(std::string_view name, NameText text);
// The folder part of a name as it is written, without its last separator; empty for a name with
// no folder.
std::string folder_of(const std::string& name, NameText text = NameText::cp932);
// The folders above a name, nearest last, each as it is written: "a/b/c.txt" gives "a", "a/b".
std::vector<std::string> folders_above(const std::string& name, NameText text);

// The one key that is equal for two names Windows takes for the same game file, as UTF-8: the
// key of the updater's own identity (game_file_key) of the name the disc carries. A name from a
// list is that name; a name from a file system is first composed (NFC), as update-make puts it on
// the disc, and upper-cased unit by unit (upper_case_unit), which for the code page's characters
// is the same table, and for the others (which no disc carries) the file system's.
std::string name_key(std::string_view name, NameText text);
// The same for a name from a list (code page 932).
std::string game_name_key(const std::string& cp932_name);
// s (UTF-8) with every letter that has a capital turned into it.
std::string upper_case_utf8(std::string_view s);
