#pragma once
#include <windows.h>

enum { StandardBoxStyle = MB_OK | MB_ICONWARNING | MB_TASKMODAL | MB_SETFOREGROUND | MB_TOPMOST };  // 0x52030

// Tells the host a box is coming (WM_APP+4, both parameters 0), then shows text
// in a message box owned by host with the library's caption. Returns MessageBoxA's result.
int ShowStandardBox(HWND host, const char* text, UINT style = StandardBoxStyle);
