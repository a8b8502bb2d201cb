// Decisions over names as the system holds them (UTF-16 units) and over the
// code page 932 bytes that stand for them. Free of <windows.h>.
#pragma once

// True when both NUL-terminated UTF-16 texts hold the same units (ordinal:
// no case folding, no linguistic equivalence).
bool SameUnits(const wchar_t* first, const wchar_t* second);

// True when a name's conversion to code page 932 stands for it exactly: no
// default character was put in (and no best fit was allowed), and the bytes
// read back gave the same units.
inline bool IsExactTrip(bool defaultUsed, const wchar_t* name, const wchar_t* readBack) {
    return !defaultUsed && SameUnits(name, readBack);
}

// True when text holds "?" or "*", which a directory search would read as
// wildcards. The byte form keeps to the double-byte rule.
bool HasWildcard(const wchar_t* text);
bool HasWildcardByte(const char* text);
