#include "TimeDialog.h"
#include "ModuleState.h"
#include <shellapi.h>

void InitTimeDialog(HWND dialog) {
    HWND lastWrite = reinterpret_cast<HWND>(TimeFields(dialog, TimeFillFirstItem));
    if (lastWrite) SendMessageA(lastWrite, BM_SETCHECK, BST_CHECKED, 0);
    if (moduleState.modeWord & 0x10)
        SetWindowPos(GetDlgItem(dialog, 1020), nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void InsideBoxClicked(HWND box) {
    moduleState.modeWord ^= 0x02;
    SendMessageA(box, BM_SETCHECK, (moduleState.modeWord >> 1) & 1, 0);
}

void TimeKindClicked(HWND button, int id) {
    moduleState.modeWord = (moduleState.modeWord & ~1u) | (static_cast<DWORD>(id) & 1);
    SendMessageA(button, BM_SETCHECK, BST_CHECKED, 0);
}

// Not built yet: the fields come with the time dialog's work.
ULONG_PTR TimeFields(HWND, int) { return 0; }
void TimeFieldNotice(HWND, WORD, WORD, HWND) {}
void TimeNowRightClick(HWND) {}
void DropOnTimeDialog(HWND, HDROP drop) { DragFinish(drop); }
