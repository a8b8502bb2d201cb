// Entries of a directory search under their real (UTF-16) names, and the code
// page 932 bytes that the ANSI calls would take for them.
#pragma once
#include <windows.h>

enum { WidePathRoom = MAX_PATH };  // UTF-16 units of a path and its NUL

// Writes name's code page 932 bytes, NUL-terminated, into bytes (room bytes
// with the NUL). Returns true when they stand for name exactly (see
// IsExactTrip) and fit. Otherwise bytes holds the name as the code page can
// show it, "?" for each unit it lacks, cut between characters to fit.
bool ToAnsiName(const WCHAR* name, char* bytes, int room);

// The same check for a name or path the system hands back whole (a tree
// selection, a drop): true when its code page 932 bytes, with their NUL, fit
// in size bytes and stand for wide exactly; otherwise false, narrow empty.
bool HoldsExactly(const WCHAR* wide, char* narrow, int size);

// Copies found's attributes, times and size into entry, and its names as
// ToAnsiName gives them. Returns whether the name is held exactly.
bool TakeFoundEntry(const WIN32_FIND_DATAW& found, WIN32_FIND_DATAA* entry);

// Copies found's attributes, times and size into entry; the names stay.
void TakeEntryFields(const WIN32_FIND_DATAW& found, WIN32_FIND_DATAA* entry);

// Appends source at destination (limit: one past the last unit that may be
// written). Returns the new NUL, or null (destination untouched) when the
// whole text does not fit.
WCHAR* CopyWideToEnd(WCHAR* destination, const WCHAR* source, const WCHAR* limit);

// Appends the UTF-16 form of the code page 932 text bytes at destination.
// Returns the new NUL, or null when it does not fit or the bytes are not
// valid code page 932.
WCHAR* WidenToEnd(WCHAR* destination, const char* bytes, const WCHAR* limit);
