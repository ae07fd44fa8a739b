// What the publisher's tools print, and how they say that something failed: every message on
// standard error starts with the tool's name; a console gets the text as wide characters.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <type_traits>

// Started from Explorer (a double-click, or folders dropped on the icon), the tool has a console
// of its own, which closes the moment the tool ends. Then it says how the tool is run, and its
// text stays until a key is pressed.
class ToolConsole {
 public:
  ToolConsole();
  ToolConsole(const ToolConsole&) = delete;
  ToolConsole& operator=(const ToolConsole&) = delete;
  bool alone() const { return alone_; }
  // Returns status, once a key is pressed when the console is the tool's own.
  int close(int status) const;

 private:
  bool alone_;
};

// Text from outside (a name from a tree or a list, a path) as the tools print it: control
// characters (C0, DEL and C1) as \xNN, so that they never reach a terminal raw. The one place
// that escapes; every name a message or a listing shows passes through it.
std::string printable(std::string_view text);
// A path for a message: its UTF-8 form, printable.
std::string shown_path(const std::filesystem::path& path);
// A name from a list (code page 932) for a message: in double quotes, as UTF-8, printable.
std::string shown(const std::string& cp932);
// A path is shown with shown_path: on Linux it would silently pass for a code page 932 name.
template <typename T, typename = std::enable_if_t<std::is_same_v<T, std::filesystem::path>>>
std::string shown(const T& path) = delete;

// The name the tool's messages start with ("update-make").
void set_tool_name(const char* name);
const char* tool_name();

// Writes text as it is; nothing is left to tell when that fails.
void print(FILE* stream, const std::string& text);
// "update-make: text" on standard error.
void complain(const std::string& text);
// Writes the tool's result to standard output; false when it couldn't be written whole.
bool print_result(const std::string& text);
// "update-make 1.0.0" on standard output: the project's one version. Returns the exit status.
int print_version();

// The message for a Windows that runs the tool in another code page: the updater's names are
// code page 932, and read in any other they would name other files.
std::string code_page_refusal();
// The converters the names need. Empty when they are there, else why not.
std::string converters_problem();
