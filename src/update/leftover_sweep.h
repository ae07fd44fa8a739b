// Temporary files that an earlier run left in the game folder when it was ended in the middle of
// a file and the system could not remove them (a power cut).
#pragma once

// Deletes the files named like the copy's temporaries ("upd", up to four hex digits, ".tmp") in
// each folder the copy goes into, before anything is copied; nothing else, and nowhere else.
void remove_leftover_temporaries();
