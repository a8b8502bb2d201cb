// The joins CgName makes in messageBuffer, free of <windows.h>. Every one is
// bounded by the buffer's size: nothing is written at or past buffer + size.
#pragma once
#include <stddef.h>

// What the joins ask of the host's path callback.
struct PathQueries {
    size_t (*separators)(char* text);  // the number of "\" in text (mode 4)
    char* (*namePart)(char* path);     // just past the last "\" of path (mode 2)
};

// Appends "\" (when needsSeparator) and proposal to the folder path in buffer;
// a proposal that does not fit is cut between characters. Returns the start
// of the proposal, or null when not even "\" and one character fit (what was
// appended then is left for the caller to take back).
char* ProposeName(char* buffer, size_t size, bool needsSeparator, const char* proposal);

// For a name part beginning with "..": the text after the dots (and after one
// "\" right behind them) goes in place of the folder's own name when the
// folder path has at least the least count of separators after its root
// bytes (2 for drive form, 3 for UNC form); otherwise it stays at namePart.
// Returns the new name part, never after the old one; the path only shortens.
char* ClimbOneLevel(char* buffer, size_t size, char* namePart, const PathQueries& queries);

// False when buffer ends with a "\" separator and ownName would not fit behind it.
bool OwnNameFits(const char* buffer, size_t size, const char* ownName);
