// Paths as the tools hold them: UTF-8 text on both systems (on Linux the file system's own bytes,
// UTF-8 in practice), turned into the system's form only at the file functions, so that a folder
// such as C:\Users\José or C:\作業 is reached whatever the system's code page.
#pragma once

#include <filesystem>
#include <string>

// Whether this system's file names are compared without regard to case (Windows) or byte for
// byte (Linux).
#ifdef _WIN32
constexpr bool kCaseBlindFileNames = true;
#else
constexpr bool kCaseBlindFileNames = false;
#endif

// The separator this system joins a folder and a name with.
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif
// Whether a path's own separator ends a folder's name here: '/' on Linux; '\\' and '/' on
// Windows.
bool is_path_separator(char c);
// A relative name the updater composed ('\\' between its levels) with this system's separator.
std::string with_native_separators(std::string name);

// A path as the tools hold it (UTF-8), and back. Empty when a Windows path has no such form (a
// lone surrogate).
std::string path_text(const std::filesystem::path& path);
std::filesystem::path file_path(const std::string& path);
