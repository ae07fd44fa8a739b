// Copying one file over the game's copy without ever losing the old one.
#pragma once

// Copies source to destination through a temporary file in folder (the destination's folder):
// the old destination is replaced only by a complete copy of the source's size. On failure the
// old destination is left byte for byte as it was and no temporary file remains. A read-only,
// hidden or system destination is never replaced (as the system's own copy would refuse it). A
// folder too long for a temporary name beside the file gets the plain copy over the destination
// instead.
bool copy_file_safely(const char* source, const char* destination, const char* folder);
