// The shell's folder browser turned into the copy command's destination
// dialog: history combo box, option check boxes, typed-path validation, drops,
// Explorer on a double-click, history sort, right-click on OK.
#pragma once
#include <windows.h>

// Control ids added to the browser, and the shell dialog's own.
enum BrowserControl {
    BrowserHistoryBox = 0x8110,  // each check box is 0x8110 | its OpFlags bit
    BrowserMoveBox = 0x8111,
    BrowserNewBox = 0x8112,
    BrowserUpdateBox = 0x8114,
    BrowserBelowBox = 0x8118,
    BrowserTree = 14145,
    BrowserTitleText = 14146,
    BrowserStatusText = 14147,
};

// Refresh kinds (WM_APP+6 wParam); the tree kind is run at once, never posted.
enum RefreshKind {
    RefreshInitial = 1,
    RefreshTyped = 2,
    RefreshChosen = 3,
    RefreshDropped = 4,
    RefreshDeleted = 5,
    RefreshTree = 6,
    RefreshUnheld = 7,  // posted by a tree selection code page 932 does not hold: OK unavailable
};

// HookBrowser modes.
enum HookMode { HookRestore = -1, HookSave = 0, HookInstall = 1 };

// The browser callback (window, message, lParam, lpData) and, once installed,
// the browser's window procedure. Returns 0 for what it handles, otherwise the
// previous procedure's answer (0 while there is none).
LRESULT CALLBACK BrowseHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Mode 1: builds the controls, loads the history, installs BrowseHook; returns
// the replaced window procedure. Mode 0: saves the history, then puts the
// previous procedure back; mode -1 only puts it back. Returns 0 for those.
LONG_PTR HookBrowser(HWND browser, int mode);

// Brings pathBuffer, the combo box text, the tree and OK up to date (kind as above).
LRESULT BrowserRefresh(HWND browser, int kind);

// History box (HistoryBox.cpp). The file's path is built in buffer (at least
// 260 bytes): the application-data folder and "\TavimoreCP.dst", or the name
// alone in the current drive's root when that folder is not known.
void HistoryFilePath(char* buffer, size_t size);
// Adds the usable entries of the file at path to the combo box (at most 49)
// and selects the first; leaves the list empty when the file does not open
// for reading and writing.
void LoadHistory(HWND combo, const char* path);
// Rewrites the file at path: current first, then the listed entries not equal
// to it. Errors are not reported.
void SaveHistory(HWND combo, const char* path, const char* current);
// Sorts the list (descending while Shift is held) and drops entries equal to
// one above them; the edit field keeps its text.
void SortHistory(HWND combo);
