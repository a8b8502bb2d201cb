// The destination history file, TavimoreCP.dst: NUL-terminated code page 932
// folder paths, most recent first, nothing else. Free of <windows.h>, so the
// reader also builds natively for the fuzzer.
#pragma once
#include <stddef.h>

enum {
    HistoryEntryLimit = 259,  // longest entry kept: a path and its NUL fill a 260-byte field
    HistoryListLimit = 49,    // entries the list holds
    // Largest file the save writes: the current destination and the listed entries.
    HistoryFileLimit = (HistoryListLimit + 1) * (HistoryEntryLimit + 1),
};

// Finds the next usable entry of data (length bytes, not NUL-terminated as a
// whole) from offset *at on. An entry is kept when its first byte, taken as a
// signed byte, is at least 'A' (no empty entry, digit or double-byte start) and
// it is at most HistoryEntryLimit bytes long; longer entries are skipped whole
// (a cut one could name another folder). The last entry may end at the end of
// data without its NUL; it is kept by the same rules. On success *start and
// *entryLength give the entry inside data, *at moves past it, and the result
// is true; false when no usable entry is left. Never reads outside data.
bool NextHistoryEntry(const char* data, size_t length, size_t* at, const char** start, size_t* entryLength);

// Equality of two entries for the save: the same length and equal under the
// caseless comparison given (lstrcmpiA in the library).
typedef int (*CaselessCompare)(const char* a, const char* b);

// Composes the file image into out (room bytes): current with its NUL, then
// each of the count entries with its NUL, except empty ones and those equal to
// current (same length, caseless equal). An entry that does not fit whole is
// left out and so is everything after it. Returns the number of bytes
// composed. current may be empty, in which case it is not written.
size_t ComposeHistory(char* out, size_t room, const char* current, const char* const* entries, size_t count,
                      CaselessCompare caseless);

// Sort order of two entries: their first bytes with the lower-case bit cleared
// (unsigned), then the caseless comparison. Negative when a comes first in
// ascending order, 0 when equal.
int CompareHistoryEntries(const char* a, const char* b, CaselessCompare caseless);
