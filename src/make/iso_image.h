// A disc image of the update folder: ISO 9660 with Joliet names, which Windows reads, and Rock
// Ridge names for other systems, both holding the Japanese names as they are. Made by xorriso.
#pragma once

#include <filesystem>
#include <string>

// False when this build can't make images (the Windows build can't).
bool iso_available();

// Writes an image of folder's contents to image. False, with xorriso's own messages in *error,
// when it fails.
bool write_iso_image(const std::filesystem::path& folder, const std::filesystem::path& image,
                     std::string* error);
