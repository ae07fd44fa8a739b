// Pictures as PNG files, encoded here: a DLL from the system (GDI+) is not a known DLL on
// Windows 7, so the loader would look for it first beside the program, in a download folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The bytes of a PNG file (8-bit RGB) of a picture given row by row from the top, one
// 0x00RRGGBB value a pixel. Each row is filtered as PNG's heuristic suggests and the whole is
// compressed with deflate's fixed codes: the flat backgrounds of dialogs become a few bytes.
std::string png_of(int width, int height, const std::vector<uint32_t>& pixels);
