/* Identifiers shared by the resource script and the program. */
#pragma once

#define IDI_APP 1

/* The UPDATE dialog */
#define IDC_FOLDER_BUTTON 1000
#define IDC_FOLDER_EDIT 1001

/* The FILECOPY dialog */
#define IDC_PROGRESS 1009
/* Sent by the copy dialog to itself, one per copy step; no control has this id. */
#define ID_COPY_STEP 1010
