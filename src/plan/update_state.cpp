// Definitions of the state shared by the stages of one update run.
#include "update_state.h"

char DestinationPath[kDestinationWidth];
unsigned char ProceedFlag = 0;
CopyPlan UpdatePlan;
