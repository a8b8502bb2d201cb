#include "NameDialog.h"
#include "ModuleState.h"
#include <shellapi.h>

void InitNameDialog(HWND dialog) {
    SetWindowTextA(dialog, textChoice.nameDialogTitle);
    HWND field = GetDlgItem(dialog, 1005);
    SetSlot(SlotControl3, reinterpret_cast<ULONG_PTR>(field));
    SetWindowTextA(field, moduleState.workPointer);
    if (moduleState.context) SetDlgItemTextA(dialog, 1004, moduleState.context->messageBuffer);
}

// Not built yet: comes with the name dialog's work.
void DropOnNameDialog(HWND, HDROP drop) { DragFinish(drop); }
