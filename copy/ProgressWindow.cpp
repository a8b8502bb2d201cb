#include "ProgressWindow.h"
#include "ModuleState.h"
#include "Texts.h"

void InitProgressDialog(HWND dialog, LPARAM destinationEnd) {
    SetSlot(SlotControl0, reinterpret_cast<ULONG_PTR>(GetDlgItem(dialog, 2)));
    SetSlot(SlotControl1, reinterpret_cast<ULONG_PTR>(GetDlgItem(dialog, 3)));
    SetSlot(SlotControl2, reinterpret_cast<ULONG_PTR>(GetDlgItem(dialog, 4)));
    SetWindowTextA(dialog, (OpFlags() & OpMove) ? TitleProgressMove : TitleProgressCopy);
    PostMessageA(dialog, WM_APP_STARTCOPY, 0, destinationEnd);
}

// Not built yet: the layout and the export come with the progress window's work.
void LayoutProgressWindow(HWND, int, int) {}
void ProgressRightClick(HWND, HWND, LPARAM) {}
