// Names the system hands back in UTF-16 (tree selections, drops), taken in
// code page 932 only when that code page holds them exactly.
#pragma once
#include <windows.h>

// Writes wide in code page 932, with its NUL, into narrow (size bytes).
// True only when the bytes fit and hold wide exactly: no best fit, no default
// character, and they read back as the same UTF-16 units. Otherwise false,
// with narrow left empty.
bool HoldsExactly(const WCHAR* wide, char* narrow, int size);
