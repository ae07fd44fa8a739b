// The copy plan of this run, made against the player's game folder before anything is copied.
#pragma once

// Plans the copy of the list into DestinationPath (UpdatePlan), with the sources under the
// current directory, as the copy step will read it.
void plan_update();
