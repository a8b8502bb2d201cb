// The one dialog procedure of the name (101), progress (102) and time (103)
// dialogs. It only routes: each message goes to a named handler of its dialog's
// room (copy/, rename/, timestamp/); the rules all three share live here.
#pragma once
#include <windows.h>
#include <shellapi.h>

// Initialisation values that tell the roles apart (lParam of WM_INITDIALOG):
// below 2 the name dialog, 2 the time dialog, anything else the progress
// dialog (the destination end in pathBuffer).
enum DialogRole : LPARAM { RoleName = 0, RoleTime = 2 };

// Dialog templates of the library's resources.
enum DialogTemplate { TemplateName = 101, TemplateProgress = 102, TemplateTime = 103 };

// The right-click marker carried in lParam of a posted WM_COMMAND: the
// dialog's closing toggles options bit 0x20 as if CTRL were held.
enum : LPARAM { RightClickMarker = 0x20 };

INT_PTR CALLBACK SharedDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Right-click (WM_CONTEXTMENU) or, with dialog null and position 0, a
// double-click that asks for the log export. Does nothing while a copy runs.
void DialogRightClick(HWND dialog, HWND clicked, LPARAM position);

// The first path of a drop on any of the library's dialogs (the browser too),
// fetched by its real name; releases the drop. True when code page 932 holds
// that path exactly within size bytes (at most 260), which are then in path.
// Otherwise the drop is ignored with a beep and path is left empty.
bool TakeDroppedPath(HDROP drop, char* path, int size);
