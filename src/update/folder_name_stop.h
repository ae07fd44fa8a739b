// The stop of a run from a folder whose path code page 932 cannot hold.
#pragma once

// When the current folder's path has no exact code page 932 form (C:\Users\José\Downloads\...),
// shows the folder and what to do, in Japanese and in English, and returns true: the run must
// then end before it reads the list or touches the registry. Every path the run composes starts
// from the ANSI form of that folder, in which Windows puts a look-alike (e for é) or '?' for what
// code page 932 lacks: each would name another folder. Returns false, and shows nothing, for a
// folder with an exact form.
bool stop_unless_folder_has_cp932_path();
