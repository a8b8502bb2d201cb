// The name dialog (template 101) of CgName: its initialisation and dropped files.
#pragma once
#include <windows.h>
#include <shellapi.h>

// WM_INITDIALOG of the name role: the caption (create or rename wording), the
// name field in slot 3 showing the text at workPointer, the full path from
// messageBuffer in the read-only field 1004.
void InitNameDialog(HWND dialog);

// WM_DROPFILES: the final component of the first dropped path replaces the name
// field's selection (undoably). Releases the drop.
void DropOnNameDialog(HWND dialog, HDROP drop);
