// A disc image of the update folder: ISO 9660 with Joliet names, which Windows reads, and Rock
// Ridge names for other systems, both holding the Japanese names as they are. Made by xorriso.
#pragma once

#include <filesystem>
#include <string>

// Why this build can't make images now (the Windows build never can; the Linux build needs
// xorriso), or empty when it can.
std::string images_unavailable();

// Why a volume name can't stand in both the ISO 9660 and the Joliet volume descriptors (1 to 16
// of A-Z, 0-9 and '_'), or empty when it can.
std::string volume_name_problem(const std::string& name);

// The volume name a title (code page 932) gives: its letters in capitals, full-width letters and
// digits as ASCII, blanks, '-' and '.' as '_'; "UPDATE" when the result is no volume name.
std::string volume_name_of_title(const std::string& title);

// Writes an image of folder's contents to image, under the volume name given. False, with
// xorriso's own messages in *error, when it fails.
bool write_iso_image(const std::filesystem::path& folder, const std::filesystem::path& image,
                     const std::string& volume, std::string* error);
