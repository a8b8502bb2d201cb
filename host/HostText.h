// Text conversions of the reference host: UTF-16 (the command line, Wine's
// windows), code page 932 (what the library reads and writes) and UTF-8 (what
// the host writes for the person and the tests). Used by every other part.
#pragma once
#include <windows.h>
#include <string>

std::string WideToUtf8(const std::wstring& text);
std::string CodePage932ToUtf8(const std::string& text);
// Best-fit conversion, for text that is shown, never for names acted on.
std::string WideToCodePage932(const std::wstring& text);

// Code page 932 form of text; false when a character has none there (a
// best-fit substitute would name another file or type another character).
bool ToCodePage932(const wchar_t* text, std::string* out);

// Code page 932 form of a path taken from the command line; refuses a path that
// has characters code page 932 cannot hold (a best-fit substitute could name
// another file) or that is longer than the 259 bytes the library accepts.
// The test is a round trip: the bytes must read back as the same characters.
bool PathToCodePage932(const wchar_t* path, std::string* out);

// Appends the UTF-8 form of UTF-16 units to out. A unit of a broken surrogate
// pair becomes U+FFFD, as the system's converter makes it.
void AppendUtf8(const wchar_t* units, size_t count, std::string& out);
// Appends the UTF-8 form of code page 932 bytes to out; scratch is working room.
void AppendCodePage932AsUtf8(const unsigned char* bytes, size_t count, std::string& out, std::wstring& scratch);

// Report values are one line each: CR and LF are written as \r and \n, other
// control characters as \xHH. Backslashes stay as they are (paths stay legible).
std::string EscapeLine(const std::string& utf8);
