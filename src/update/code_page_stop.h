// The stop of a run on a system that would read this program's code page 932 texts and file names
// in another code page.
#pragma once

// When the process's ANSI code page is not 932 (a Windows older than 11, which ignores the
// manifest's code page, with another system locale or with the UTF-8 option), shows why the
// update can't run, in Japanese and in English, and returns true: the run must then end before
// it reads the list or touches the registry. Returns false, and shows nothing, under code page
// 932.
bool stop_unless_code_page_932();
