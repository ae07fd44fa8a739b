// Copying one file over the game's copy without ever losing the old one.
#pragma once

#include "copy_job.h"

// The job's work: copies job->source to job->destination through a temporary file beside it,
// marked for deletion until the copy is complete, of the source's size and flushed to the disk;
// only then does it take the game file's place. Otherwise (a failure, a cancel, the process
// ended) the old game file is left byte for byte as it was and the temporary goes. A read-only,
// hidden or system game file is never replaced (as the system's own copy would refuse it). The
// copy keeps the source's last-write time and attributes, less read-only. With job->in_place, the
// plain copy straight over the game file instead, to its end.
CopyOutcome copy_file_safely(CopyJob* job);
