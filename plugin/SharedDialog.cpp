#include "SharedDialog.h"
#include "WideName.h"
#include "ModuleState.h"
#include "PathCheck.h"
#include "CopyEngine.h"
#include "ProgressWindow.h"
#include "NameDialog.h"
#include "TimeDialog.h"

namespace {

// Control ids this procedure routes by.
enum : WPARAM {
    IdOk = 1,
    IdCancel = 2,
    IdNameField = 1005,
    IdFirstTimeField = 1010,
    IdLastTimeField = 1017,
    IdLastWriteRadio = 1018,
    IdCreationRadio = 1019,
    IdInsideBox = 1020,
    IdNowButton = 1021,
    StatusDoubleClick = 0x10004,  // STN_DBLCLK from the status text (4)
    ListDoubleClick = 0x20003,    // LBN_DBLCLK from the result list (3)
};

bool IsProgressDialog() { return SlotWindow(SlotControl0) != nullptr; }
bool IsNameDialog() { return SlotWindow(SlotControl3) != nullptr; }

// The role is compared unsigned: the progress dialog's value is a position in
// the host's pathBuffer, which may lie at or above 0x80000000 in a host that
// is large-address aware.
void InitSharedDialog(HWND dialog, LPARAM role) {
    PostMessageA(HostWindow(), WM_APP_OPENED, reinterpret_cast<WPARAM>(dialog), 0);
    if (static_cast<ULONG_PTR>(role) < static_cast<ULONG_PTR>(RoleTime))
        InitNameDialog(dialog);
    else if (role == RoleTime)
        InitTimeDialog(dialog);
    else
        InitProgressDialog(dialog, role);
    if (moduleState.keyCallback) moduleState.keyCallback(KeysDialogOpened, 0);
}

// Closes with 1 for OK and 0 for Cancel. CTRL held, or the right-click
// marker, toggles options bit 0x20 on the way (once, not twice).
void CloseSharedDialog(HWND dialog, WPARAM id, LPARAM lParam) {
    DWORD toggle = lParam == RightClickMarker
                       ? OptionToggled
                       : (static_cast<DWORD>(GetAsyncKeyState(VK_CONTROL)) & 0xFFFF) >> 10;
    if (moduleState.context) moduleState.context->options ^= toggle & OptionToggled;
    EndDialog(dialog, id & 1);
}

void CancelOrClose(HWND dialog, LPARAM lParam) {
    if (OpFlags() & OpRunning) {
        OpFlags() &= ~static_cast<DWORD>(OpRunning);  // the run notices it and stops
        return;
    }
    CloseSharedDialog(dialog, IdCancel, lParam);
}

void AcceptOrRefuse(HWND dialog, LPARAM lParam) {
    bool accepted = IsNameDialog() ? CheckName(SlotControl3) != 0 : TimeFields(dialog, TimeParseAll) != 0;
    if (!accepted) {
        MessageBeep(MB_ICONEXCLAMATION);  // the check has put the focus on the culprit
        return;
    }
    CloseSharedDialog(dialog, IdOk, lParam);
}

void RouteDialogCommand(HWND dialog, WPARAM wParam, LPARAM lParam) {
    HWND control = reinterpret_cast<HWND>(lParam);
    switch (wParam) {
    case IdCancel:
        CancelOrClose(dialog, lParam);
        return;
    case IdOk:
        // The progress dialog has no OK button; Enter there means its one button.
        if (IsProgressDialog()) CancelOrClose(dialog, lParam);
        else AcceptOrRefuse(dialog, lParam);
        return;
    case IdNowButton:
        TimeFields(dialog, TimeFillNow);
        return;
    case IdInsideBox:
        InsideBoxClicked(control);
        return;
    case IdLastWriteRadio:
    case IdCreationRadio:
        TimeKindClicked(control, static_cast<int>(wParam));
        return;
    case StatusDoubleClick:
    case ListDoubleClick:
        DialogRightClick(nullptr, control, 0);
        return;
    }
    WORD id = LOWORD(wParam);
    if (id >= IdFirstTimeField && id <= IdLastTimeField) TimeFieldNotice(dialog, id, HIWORD(wParam), control);
}

void RouteDroppedFiles(HWND dialog, HDROP drop) {
    if (GetDlgItem(dialog, IdNameField))
        DropOnNameDialog(dialog, drop);
    else
        DropOnTimeDialog(dialog, drop);
}

}  // namespace

bool TakeDroppedPath(HDROP drop, char* path, int size) {
    if (size > 0) path[0] = '\0';
    WCHAR wide[HostBufferSize] = L"";
    UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    bool fetched = length > 0 && length < HostBufferSize && static_cast<int>(length) < size &&
                   DragQueryFileW(drop, 0, wide, HostBufferSize) == length;
    DragFinish(drop);
    if (fetched && HoldsExactly(wide, path, size)) return true;
    if (length > 0) MessageBeep(MB_ICONEXCLAMATION);
    return false;
}

void DialogRightClick(HWND dialog, HWND clicked, LPARAM position) {
    if (OpFlags() & OpRunning) return;
    if (IsProgressDialog()) {
        ProgressRightClick(dialog, clicked, position);
        return;
    }
    switch (GetWindowLongA(clicked, GWL_ID)) {
    case IdOk:
        PostMessageA(dialog, WM_COMMAND, IdOk, RightClickMarker);
        return;
    case IdNowButton:
        TimeNowRightClick(dialog);
        return;
    }
}

INT_PTR CALLBACK SharedDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        LayoutProgressWindow(dialog, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        break;
    case WM_CONTEXTMENU:
        DialogRightClick(dialog, reinterpret_cast<HWND>(wParam), lParam);
        break;
    case WM_INITDIALOG:
        InitSharedDialog(dialog, lParam);
        return TRUE;
    case WM_COMMAND:
        RouteDialogCommand(dialog, wParam, lParam);
        break;
    case WM_DROPFILES:
        RouteDroppedFiles(dialog, reinterpret_cast<HDROP>(wParam));
        break;
    case WM_QUERYENDSESSION:
        if (!IsProgressDialog()) break;
        ProgressSessionEnding(dialog);
        return TRUE;
    case WM_APP_STARTCOPY:
        RunCopyJob(dialog, reinterpret_cast<char*>(lParam));
        break;
    }
    return FALSE;
}
