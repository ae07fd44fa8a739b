// Reading the setup list the way the Windows C runtime's text-mode stream reads it.
//
// On Windows the list is opened with fopen("rt") and read with fgets, as the updater always did.
// glibc has no text mode, so the Linux build translates by itself and hands the parser exactly the
// same lines: CR LF arrives as LF, a lone CR stays, byte 0x1A ends the file, and a line longer
// than the buffer comes in pieces of at most size-1 bytes.
#pragma once

#include <cstdio>

// This system's: src/platform/list_file.cpp.
FILE* open_setup_list(const char* path);
char* read_list_line(char* buf, int size, FILE* file);

// The translation, for the Linux build: a stream opened in binary read as text mode reads it.
char* read_text_mode_line(char* buf, int size, FILE* file);
