// The progress dialog (template 102): its initialisation, layout on resize and
// right-click / double-click log export. Messages arrive through SharedDialogProc.
#pragma once
#include <windows.h>

// WM_INITDIALOG of the progress role: slots 0-2 take the ESC button, the result
// list and the status text; the caption follows OpMove; WM_APP+1 is posted to
// the dialog with destinationEnd, so the run starts once the window is shown.
void InitProgressDialog(HWND dialog, LPARAM destinationEnd);

// WM_SIZE: the result list keeps its left margin on the left, right and bottom;
// the ESC button's right edge follows the list's. Nothing moves when slot 1 is
// empty (the other dialogs).
void LayoutProgressWindow(HWND dialog, int width, int height);

// Right-click (dialog and position given) or double-click (dialog null,
// position 0) in the progress dialog once the run is over: the button closes
// with the toggle; the list or the status text exports the log into ModeWord.
void ProgressRightClick(HWND dialog, HWND clicked, LPARAM position);

// WM_QUERYENDSESSION: the end of the session is taken as a close request. A
// run stops before its next file and the window is destroyed at its end, as
// for a posted close request; after the run the window is asked to close.
// The answer, left in DWLP_MSGRESULT, is TRUE: the session may end.
void ProgressSessionEnding(HWND dialog);
