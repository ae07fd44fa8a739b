// Normalising the game folder the user confirmed: keep the drive, drop a last component that has
// an extension, collapse every run of backslashes to one, and drop a trailing backslash.
#pragma once

// Rewrites DestinationPath in place. A path whose parts or whose joined form do not fit the
// working buffers comes out empty, which the update reports as a missing folder.
void normalize_destination();
