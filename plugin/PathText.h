// Byte-string helpers for code page 932 paths and texts. Free of <windows.h>.
// Double-byte rule: 0x81-0x9F and 0xE0-0xFC are lead bytes; the byte after a
// lead byte is never looked at as a character of its own.
#pragma once
#include <stddef.h>

inline bool IsLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

enum CopyFit {
    CopyWhole,  // all of source and its NUL, or nothing at all
    CopyCut,    // as much as fits, cut between characters, always terminated
};

// Copies source to destination and writes a NUL after it; limit is one past the
// last byte that may be written. Returns the position of that NUL, so the next
// piece can be appended there. With CopyWhole a source that does not fit leaves
// destination untouched and returns nullptr. With CopyCut the copy stops before
// the first character that would not leave room for the NUL (a double-byte
// character is never split); it returns nullptr only when destination >= limit.
char* CopyToEnd(char* destination, const char* source, const char* limit, CopyFit fit = CopyWhole);

// Position just past the last "\" of path (the final name component; empty when
// the path ends with "\"), or path itself when it has no separator.
const char* FindNamePart(const char* path);

// True when a and b hold the same bytes, ASCII letters in either case
// (ordinal: no linguistic rule, and a double-byte character only as itself).
bool SameTextIgnoringCase(const char* a, const char* b);

// Number of "\" separators in text.
unsigned CountSeparators(const char* text);

// Shortens path by its final component and the separator in front of it
// (X:\dir\file -> X:\dir, X:\file -> X:). Returns the new terminator.
char* CutLastComponent(char* path);
