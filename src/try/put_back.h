// What a run of update-try puts back, however it ends: the GAMEPATH values it changes and the
// copy of the game it makes. The journal of them is a file in the user's own local application
// data (%LOCALAPPDATA%\update-try\journal.txt), beside the registry it mends: both belong to the
// one user, whatever folder the next run is started from or writes its results to.
#pragma once

#include <string>

#include "journal.h"

// The state folder's lock, held until the process ends (Windows releases it however that comes).
// False, with why in *error, when another run of the same user holds it: both would change the
// same registry values.
bool take_state_lock(std::string* error);

// A journal left by a run that was ended before it could put things back: the values are put
// back and the copy removed; *said tells what was done (empty when there was nothing). False,
// with why in *error, when the journal can't be read or acted on: it is then kept.
bool mend_left_journal(std::string* said, std::string* error);

// What the values named hold now, as a journal entry each.
SavedValue saved_value(const std::string& key, const std::string& name);

// Writes the journal, whole and flushed, before the first change it covers.
void start_changes(const Journal& journal);

// Puts every journaled value back and takes it out of the journal, which keeps the copy until
// end_changes. Safe from any thread, and more than once. Returns what was done, a line each;
// a value that could not be put back stays in the journal, for the next start.
std::string put_back_registry();

// The copy is removed or kept as asked: the journal goes.
void end_changes();
