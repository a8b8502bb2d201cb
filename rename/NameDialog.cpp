#include "NameDialog.h"
#include "ModuleState.h"
#include "PathText.h"
#include "SharedDialog.h"

namespace {

enum { IdNameField = 1005, IdPathField = 1004 };

}  // namespace

void InitNameDialog(HWND dialog) {
    SetWindowTextA(dialog, textChoice.nameDialogTitle);
    HWND field = GetDlgItem(dialog, IdNameField);
    SetSlot(SlotControl3, reinterpret_cast<ULONG_PTR>(field));
    if (moduleState.workPointer) SetWindowTextA(field, moduleState.workPointer);
    if (moduleState.context) SetDlgItemTextA(dialog, IdPathField, moduleState.context->messageBuffer);
}

// The dropped path is fetched into a buffer of its own, not at workPointer
// (which lies inside messageBuffer, too near its end for a whole path): only
// its final component reaches the name field, and the name check at OK bounds
// it like typed text. A drive root's final component is empty: the selection
// is replaced by nothing, as with any other drop. A path longer than 259 bytes,
// or one whose name code page 932 does not hold exactly, is ignored (a beep).
void DropOnNameDialog(HWND dialog, HDROP drop) {
    char path[HostBufferSize] = "";
    if (!TakeDroppedPath(drop, path, sizeof path)) return;
    const char* name = moduleState.pathCallback
                           ? reinterpret_cast<const char*>(moduleState.pathCallback(path, PathNamePart))
                           : FindNamePart(path);
    if (!name || name < path || name >= path + sizeof path) return;
    SendDlgItemMessageA(dialog, IdNameField, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(name));
}
