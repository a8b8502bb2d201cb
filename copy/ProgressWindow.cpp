#include "ProgressWindow.h"
#include "ModuleState.h"
#include "SharedDialog.h"
#include "Texts.h"

namespace {

enum : UINT {
    MenuCommandCopy = 7,                                              // the menu's one item
    MenuTrackFlags = TPM_RETURNCMD | TPM_VCENTERALIGN | TPM_RIGHTBUTTON,  // 0x112
};

enum : ULONG_PTR { ModeBitsLimit = 32 };  // ModeWord above this holds an exported log
enum : DWORD { KeyboardMenuPosition = 0xFFFFFFFF };  // WM_CONTEXTMENU raised by the keyboard (-1)

// Reads window's rectangle with its top-left corner in dialog's client
// coordinates. Returns false when the window's rectangle cannot be read.
bool ReadPlacement(HWND dialog, HWND window, POINT* topLeft, SIZE* size) {
    RECT rect;
    if (!window || !GetWindowRect(window, &rect)) return false;
    topLeft->x = rect.left;
    topLeft->y = rect.top;
    ScreenToClient(dialog, topLeft);
    size->cx = rect.right - rect.left;
    size->cy = rect.bottom - rect.top;
    return true;
}

// Bytes the exported text needs with its NUL, plus one: the status text and its
// CR LF when withStatus, then each line of the list and a CR LF. The missing
// CR LF after the last line and the NUL make the block exactly one byte less.
// Returns 0 when there is nothing to export.
SIZE_T ExportSize(HWND list, HWND status, bool withStatus) {
    SIZE_T size = withStatus ? static_cast<SIZE_T>(GetWindowTextLengthA(status)) + 2 : 0;
    for (WPARAM line = 0;; ++line) {
        LRESULT length = SendMessageA(list, LB_GETTEXTLEN, line, 0);
        if (length <= 0) break;
        size += static_cast<SIZE_T>(length) + 2;
    }
    return size;
}

// Shows the popup menu with "& コピー" at the click (greyed when nothing can be
// exported) and returns true when the user chose it.
bool ChooseCopyFromMenu(HWND dialog, HWND clicked, LPARAM position, bool offered) {
    POINT at = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    if (static_cast<DWORD>(position) == KeyboardMenuPosition) {  // Shift+F10 or the menu key: at the control
        RECT rect;
        GetWindowRect(clicked, &rect);
        at.x = rect.left + (rect.right - rect.left) / 2;
        at.y = rect.top + (rect.bottom - rect.top) / 2;
    }
    HMENU menu = CreatePopupMenu();
    if (!menu) return false;
    AppendMenuA(menu, MF_STRING | (offered ? MF_ENABLED : MF_GRAYED), MenuCommandCopy, MenuCopyLog);
    BOOL chosen = TrackPopupMenu(menu, MenuTrackFlags, at.x, at.y, 0, dialog, nullptr);
    DestroyMenu(menu);
    return chosen == static_cast<BOOL>(MenuCommandCopy);
}

// Fills text (room bytes, NUL included) with the status text when withStatus
// and the list's lines joined by CR LF. Never writes past room: a line that
// no longer fits ends the text there. Returns the bytes written without NUL.
SIZE_T FillExport(char* text, SIZE_T room, HWND list, HWND status, bool withStatus) {
    SIZE_T used = 0;
    text[0] = '\0';
    if (withStatus) used = static_cast<SIZE_T>(GetWindowTextA(status, text, static_cast<int>(room)));
    for (WPARAM line = 0;; ++line) {
        LRESULT length = SendMessageA(list, LB_GETTEXTLEN, line, 0);
        if (length <= 0) break;
        SIZE_T separator = used > 0 || withStatus ? 2 : 0;
        if (used + separator + static_cast<SIZE_T>(length) + 1 > room) break;
        if (separator) {
            text[used++] = '\r';
            text[used++] = '\n';
        }
        LRESULT copied = SendMessageA(list, LB_GETTEXT, line, reinterpret_cast<LPARAM>(text + used));
        if (copied < 0) copied = 0;
        used += static_cast<SIZE_T>(copied);
        text[used] = '\0';
    }
    return used;
}

// Hands the log (and the status text when withStatus) to ModeWord as one
// movable block of exactly the text's size. The block then belongs to the
// command, which returns it to the host. Returns false when nothing was made.
bool ExportLog(HWND list, HWND status, bool withStatus, SIZE_T size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size - 1);
    if (!block) return false;
    char* text = static_cast<char*>(GlobalLock(block));
    if (!text) {
        GlobalFree(block);
        return false;
    }
    FillExport(text, size - 1, list, status, withStatus);
    moduleState.modeWord = reinterpret_cast<ULONG_PTR>(block);
    return true;
}

void SelectAllLines(HWND list) { SendMessageA(list, LB_SETSEL, TRUE, -1); }

}  // namespace

void InitProgressDialog(HWND dialog, LPARAM destinationEnd) {
    SetSlot(SlotControl0, reinterpret_cast<ULONG_PTR>(GetDlgItem(dialog, 2)));
    SetSlot(SlotControl1, reinterpret_cast<ULONG_PTR>(GetDlgItem(dialog, 3)));
    SetSlot(SlotControl2, reinterpret_cast<ULONG_PTR>(GetDlgItem(dialog, 4)));
    SetWindowTextA(dialog, (OpFlags() & OpMove) ? TitleProgressMove : TitleProgressCopy);
    PostMessageA(dialog, WM_APP_STARTCOPY, 0, destinationEnd);
}

void LayoutProgressWindow(HWND dialog, int width, int height) {
    POINT listAt;
    SIZE listSize;
    if (!ReadPlacement(dialog, SlotWindow(SlotControl1), &listAt, &listSize)) return;
    const int margin = listAt.x;
    SetWindowPos(SlotWindow(SlotControl1), nullptr, 0, 0, width - 2 * margin, height - listAt.y - margin,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    POINT buttonAt;
    SIZE buttonSize;
    if (!ReadPlacement(dialog, SlotWindow(SlotControl0), &buttonAt, &buttonSize)) return;
    SetWindowPos(SlotWindow(SlotControl0), nullptr, width - margin - buttonSize.cx, buttonAt.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ProgressRightClick(HWND dialog, HWND clicked, LPARAM position) {
    HWND button = SlotWindow(SlotControl0);
    HWND list = SlotWindow(SlotControl1);
    HWND status = SlotWindow(SlotControl2);
    if (clicked == button) {
        // Closes as the button does, with the toggle of a right-click.
        PostMessageA(dialog ? dialog : GetParent(button), WM_COMMAND, IDCANCEL, RightClickMarker);
        return;
    }
    bool withStatus;
    if (clicked && clicked == list) withStatus = false;
    else if (clicked && clicked == status) withStatus = true;
    else return;
    SIZE_T size = ExportSize(list, status, withStatus);
    bool exported = moduleState.modeWord > ModeBitsLimit;
    // A right-click names its dialog; a double-click does not (its position
    // is 0, which a right-click at the screen's corner also gives).
    if (dialog && !ChooseCopyFromMenu(dialog, clicked, position, !exported && size > 0)) return;
    if (exported) {
        SelectAllLines(list);
        return;
    }
    if (size == 0 || !ExportLog(list, status, withStatus, size)) return;
    SelectAllLines(list);
}

void ProgressSessionEnding(HWND dialog) {
    if (OpFlags() & OpRunning)
        OpFlags() = 0;  // what the pump does for a close request
    else
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
}
