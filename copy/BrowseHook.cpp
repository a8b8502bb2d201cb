#include "BrowseHook.h"
#include "WideName.h"
#include "ModuleState.h"
#include "PathCheck.h"
#include "PathText.h"
#include "SharedDialog.h"
#include "Texts.h"
#include <shellapi.h>
#include <shlobj.h>
#include <string.h>

namespace {

enum {
    BrowserTag = -57,           // lParam of the browser's opening notice to the host
    CheckBoxStyle = 0x50000002, // WS_CHILD | WS_VISIBLE | BS_CHECKBOX
    HistoryBoxStyle = 0x50200A42,
    DefaultFontHeight = 15,     // when the tree reports no font
    RightClickOnOk = 4,         // marker posted for a right-click on OK
    MarkerLimit = 0x20,         // lParam below this is a marker, not a window
    ComboEditId = 1001,
    OkKeyBits = 0x07,           // the key answer at OK: ESC, CTRL, NONCONVERT; nothing else
    BoxColumnLeft = 19,         // x of the left column of check boxes
    BoxColumnGap = 24,          // between the columns of check boxes (4H + 43 - 19 - 4H)
    ButtonGap = 7,              // between OK and Cancel; kept before OK when the browser is widened
};

HostContext* Context() { return moduleState.context; }
char* PathBuffer() { return Context()->pathBuffer; }
HWND HistoryBox() { return SlotWindow(SlotControl0); }
DWORD Flags() { return static_cast<DWORD>(OpFlags()); }

bool KeyHeld(int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; }

LRESULT PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC previous = reinterpret_cast<WNDPROC>(moduleState.slotTable[SlotPreviousProc]);
    return previous ? CallWindowProcA(previous, window, message, wParam, lParam) : 0;
}

void MoveControl(HWND control, int x, int y, int width, int height) {
    SetWindowPos(control, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND CreateChild(HWND parent, const char* className, const char* text, DWORD style, int id, int x, int y, int width,
                 int height, HFONT font) {
    HWND child = CreateWindowExA(0, className, text, style, x, y, width, height, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    if (child) SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

// H of the layout: the tree font's height in pixels.
int FontHeight(HFONT font) {
    LOGFONTA* logFont = reinterpret_cast<LOGFONTA*>(moduleState.findDataPointer);
    if (!font || GetObjectA(font, sizeof(LOGFONTA), logFont) == 0) return DefaultFontHeight;
    int height = static_cast<int>(logFont->lfHeight);
    if (height < 0) return -height;
    return height > 0 ? height : static_cast<int>(DefaultFontHeight);
}

int Larger(int a, int b) { return a > b ? a : b; }

// Width a check box needs to show label whole in the font selected into dc:
// the box glyph, a digit's width of space behind it, and the text.
int CheckBoxWidth(HDC dc, const char* label) {
    SIZE text = {}, digit = {};
    GetTextExtentPoint32A(dc, label, lstrlenA(label), &text);
    GetTextExtentPoint32A(dc, "0", 1, &digit);
    return GetSystemMetrics(SM_CXMENUCHECK) + digit.cx + text.cx;
}

// The two columns of check boxes: each 4H wide, or as wide as its widest
// label needs; the right one starts BoxColumnGap behind the left one, which
// for 4H is the x of 4H + 43 the layout gives.
struct BoxColumns {
    int leftWidth;
    int rightX;
    int rightWidth;
};

BoxColumns MeasureColumns(HWND browser, HFONT font, int h) {
    HDC dc = GetDC(browser);
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    BoxColumns columns;
    columns.leftWidth = Larger(4 * h, CheckBoxWidth(dc, LabelMove));
    if (Flags() & OpBelow) columns.leftWidth = Larger(columns.leftWidth, CheckBoxWidth(dc, LabelBelow));
    columns.rightWidth = Larger(4 * h, Larger(CheckBoxWidth(dc, LabelNew), CheckBoxWidth(dc, LabelUpdate)));
    if (previous) SelectObject(dc, previous);
    ReleaseDC(browser, dc);
    columns.rightX = BoxColumnLeft + columns.leftWidth + BoxColumnGap;
    return columns;
}

// When the right column would reach under OK (x = W - 12H - 14), widens the
// browser around its centre just enough to keep OK ButtonGap clear of it;
// otherwise changes nothing. Returns the client width to lay out with.
int WidenForColumns(HWND browser, const BoxColumns& columns, int h, int w) {
    int overlap = columns.rightX + columns.rightWidth - (w - 12 * h - 14);
    if (overlap <= 0) return w;
    int grow = overlap + ButtonGap;
    RECT frame;
    GetWindowRect(browser, &frame);
    SetWindowPos(browser, nullptr, frame.left - grow / 2, frame.top, frame.right - frame.left + grow,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    GetClientRect(browser, &client);
    return client.right;
}

// The check boxes, bottom left: move above below, new above update.
void CreateCheckBoxes(HWND browser, const BoxColumns& columns, int h, int b, HFONT font) {
    int left = BoxColumnLeft, right = columns.rightX;
    if (Flags() & OpBelow)
        CreateChild(browser, "BUTTON", LabelBelow, CheckBoxStyle, BrowserBelowBox, left, b - h - 7, columns.leftWidth,
                    h + 4, font);
    CreateChild(browser, "BUTTON", LabelUpdate, CheckBoxStyle, BrowserUpdateBox, right, b - h - 7, columns.rightWidth,
                h + 4, font);
    CreateChild(browser, "BUTTON", LabelNew, CheckBoxStyle, BrowserNewBox, right, b - 2 * h - 11, columns.rightWidth,
                h + 4, font);
    CreateChild(browser, "BUTTON", LabelMove, CheckBoxStyle, BrowserMoveBox, left, b - 2 * h - 11, columns.leftWidth,
                h + 4, font);
}

// Builds the added controls and lays the window out: tree on top, history
// box, check boxes bottom left, OK and Cancel bottom right. The browser is
// widened first where the check boxes' labels would not fit beside OK.
void BuildControls(HWND browser) {
    PostMessageA(GetDlgItem(browser, BrowserStatusText), WM_CLOSE, 0, 0);
    PostMessageA(GetDlgItem(browser, BrowserTitleText), WM_CLOSE, 0, 0);
    HWND tree = GetDlgItem(browser, BrowserTree);
    SetWindowLongA(tree, GWL_STYLE, GetWindowLongA(tree, GWL_STYLE) | TVS_SHOWSELALWAYS);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(tree, WM_GETFONT, 0, 0));
    int h = FontHeight(font);
    BoxColumns columns = MeasureColumns(browser, font, h);
    RECT client;
    GetClientRect(browser, &client);
    int w = WidenForColumns(browser, columns, h, client.right), b = client.bottom;
    MoveControl(tree, 7, 8, w - 14, b - 3 * h - 38);
    HWND combo = CreateChild(browser, "COMBOBOX", nullptr, HistoryBoxStyle, BrowserHistoryBox, 7, b - 3 * h - 24, w - 14,
                             b - 3 * h - 38, font);
    SetSlot(SlotControl0, reinterpret_cast<ULONG_PTR>(combo));
    CreateCheckBoxes(browser, columns, h, b, font);
    MoveControl(GetDlgItem(browser, IDOK), w - 12 * h - 14, b - 2 * h - 7, 6 * h, 2 * h);
    MoveControl(GetDlgItem(browser, IDCANCEL), w - 6 * h - 7, b - 2 * h - 7, 6 * h, 2 * h);
    SetWindowLongA(browser, GWL_EXSTYLE, GetWindowLongA(browser, GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
}

char* HistoryPath() { return reinterpret_cast<char*>(moduleState.findDataPointer); }

// Shows OpFlags in the window texts (for OpMove) and in the check boxes of bit
// and every higher bit; the below box is enabled while new or update is on.
void ShowOptions(HWND browser, DWORD bit) {
    if (bit == OpMove) {
        bool move = (Flags() & OpMove) != 0;
        SetWindowTextA(HostWindow(), move ? HostTextMove : HostTextCopy);
        SetWindowTextA(browser, move ? TitleBrowserMove : TitleBrowserCopy);
    }
    if (!(Flags() & (OpNew | OpUpdate))) OpFlags() &= ~static_cast<ULONG_PTR>(OpBelow);
    for (DWORD b = bit; b != 0 && b <= OpBelow; b <<= 1) {
        HWND box = GetDlgItem(browser, BrowserHistoryBox | b);
        if (box) SendMessageA(box, BM_SETCHECK, (Flags() & b) ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    HWND below = GetDlgItem(browser, BrowserBelowBox);
    if (below) EnableWindow(below, (Flags() & (OpNew | OpUpdate)) != 0);
    SetFocus(browser);
}

LRESULT Initialise(HWND browser) {
    PostMessageA(HostWindow(), WM_APP_OPENED, reinterpret_cast<WPARAM>(browser), BrowserTag);
    SetSlot(SlotPreviousProc, static_cast<ULONG_PTR>(HookBrowser(browser, HookInstall)));
    if (moduleState.keyCallback) moduleState.keyCallback(KeysBrowserReady, 0);
    PostMessageA(browser, WM_APP_REFRESH, RefreshInitial, 0);
    ShowOptions(browser, OpMove);
    return 0;
}

// The tree reports a selection: its path becomes the destination unless the
// hook is moving the tree itself or the browser was accepted. Items without a
// file system path change nothing. A folder whose path code page 932 does not
// hold exactly is shown with "?" for what it cannot hold, and OK stays
// unavailable, as for any path that cannot be chosen: that is posted, so it
// comes after the shell's own enabling of OK for the selected folder.
LRESULT TreeSelection(HWND browser, LPCITEMIDLIST item) {
    if (moduleState.modeWord != 0) return 0;
    WCHAR wide[MAX_PATH + 1] = L"";
    if (!SHGetPathFromIDListW(item, wide) || wide[0] == L'\0') return 0;
    char path[HostBufferSize] = "";
    if (ToAnsiName(wide, path, sizeof path)) {
        CopyToEnd(PathBuffer(), path, PathBuffer() + HostBufferSize);
        return BrowserRefresh(browser, RefreshTree);
    }
    CopyToEnd(PathBuffer(), path, PathBuffer() + HostBufferSize, CopyCut);  // "?" where it cannot show
    BrowserRefresh(browser, RefreshTree);
    PostMessageA(browser, WM_APP_REFRESH, RefreshUnheld, 0);
    return 0;
}

// A dropped file gives its folder, a folder itself, a vanished path its
// nearest existing ancestor. A drop that yields nothing puts pathBuffer back
// to the text the history box shows, so OK never uses a text the user cannot see.
// A path that does not fit pathBuffer, or whose name code page 932 does not
// hold exactly, is ignored with a beep: nothing changes.
LRESULT Drop(HWND browser, HDROP drop) {
    char dropped[HostBufferSize] = "";
    if (!TakeDroppedPath(drop, dropped, sizeof dropped)) return 0;
    char* path = PathBuffer();
    UINT n = static_cast<UINT>(CopyToEnd(path, dropped, path + HostBufferSize) - path);
    for (;;) {
        if (n < 2) break;
        DWORD attributes = GetFileAttributesA(path);
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) moduleState.pathCallback(path, PathCutLast);
            if (path[0] != '\0' && path[1] != '\0' && path[2] == '\0') CopyToEnd(path + 2, "\\", path + HostBufferSize);
            PostMessageA(browser, WM_APP_REFRESH, RefreshDropped, 0);
            return 0;
        }
        if (n <= 4) break;
        char* end = reinterpret_cast<char*>(moduleState.pathCallback(path, PathCutLast));
        n = static_cast<UINT>(end - path);
    }
    HWND combo = HistoryBox();
    path[0] = '\0';
    if (combo) SendMessageA(combo, WM_GETTEXT, HostBufferSize, reinterpret_cast<LPARAM>(path));
    return 0;
}

void Accept(LPARAM lParam) {
    DWORD keys = moduleState.keyCallback ? moduleState.keyCallback(KeysBrowserOk, 0) : 0;
    moduleState.modeWord = (keys & OkKeyBits) | 1;
    if (static_cast<ULONG_PTR>(lParam) < MarkerLimit) moduleState.modeWord ^= static_cast<DWORD>(lParam);
}

// WM_APP+4 to the browser itself: the cursor to the centre of window.
void CursorOnto(HWND window) {
    RECT rect;
    if (!GetWindowRect(window, &rect)) return;
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

// Notifications of the history box: typing, and choosing an entry (with Shift
// held, the entry is deleted instead).
void HistoryNotice(HWND browser, WORD code) {
    if (code == CBN_EDITCHANGE) {
        PostMessageA(browser, WM_APP_REFRESH, RefreshTyped, 0);
    } else if (code == CBN_SELENDOK) {
        if (KeyHeld(VK_SHIFT)) {
            HWND combo = HistoryBox();
            LRESULT chosen = SendMessageA(combo, CB_GETCURSEL, 0, 0);
            if (chosen >= 0) SendMessageA(combo, CB_DELETESTRING, static_cast<WPARAM>(chosen), 0);
            PostMessageA(browser, WM_APP_REFRESH, RefreshDeleted, 0);
        } else {
            PostMessageA(browser, WM_APP_REFRESH, RefreshChosen, 0);
        }
    }
}

}  // namespace

LONG_PTR HookBrowser(HWND browser, int mode) {
    if (mode == HookInstall) {
        BuildControls(browser);
        HistoryFilePath(HistoryPath(), sizeof(WIN32_FIND_DATAA));
        LoadHistory(HistoryBox(), HistoryPath());
        return SetWindowLongPtrA(browser, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BrowseHook));
    }
    if (mode == HookSave) SaveHistory(HistoryBox(), HistoryPath(), PathBuffer());
    SetWindowLongPtrA(browser, GWLP_WNDPROC, static_cast<LONG_PTR>(moduleState.slotTable[SlotPreviousProc]));
    return 0;
}

LRESULT BrowserRefresh(HWND browser, int kind) {
    if (kind == RefreshUnheld) {
        SendMessageA(browser, BFFM_ENABLEOK, 0, 0);
        return 0;
    }
    HWND combo = HistoryBox();
    char* path = PathBuffer();
    bool fromBox = kind <= RefreshChosen;
    if (fromBox) {
        path[0] = '\0';
        if (combo) SendMessageA(combo, WM_GETTEXT, HostBufferSize, reinterpret_cast<LPARAM>(path));
        path[HostBufferSize - 1] = '\0';
    } else if (combo) {
        SendMessageA(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path));
    }
    if (kind == RefreshDeleted) {
        moduleState.modeWord = 0;
        return 0;
    }
    bool follow = kind <= RefreshDropped;
    if (kind == RefreshInitial) {
        if (path[0] == '\\') {
            moduleState.modeWord = 0;
            return 0;
        }
        char root[4] = {static_cast<char>(path[0] & 0xDF), path[0] ? path[1] : '\0', path[0] && path[1] ? path[2] : '\0', '\0'};
        if (GetFileAttributesA(root) == INVALID_FILE_ATTRIBUTES) follow = false;
    }
    if (follow) {
        moduleState.modeWord = 1;
        bool reversed = (Context()->options & OptionNoNewRule) != 0;
        if (KeyHeld(VK_NONCONVERT) == reversed)
            SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(path));
    }
    bool valid = CheckName(SlotControl0) != 0 && EnsurePath(path, EnsureRootExists) != nullptr;
    if (kind == RefreshChosen && valid)
        PostMessageA(browser, WM_APP_OPENED, reinterpret_cast<WPARAM>(GetDlgItem(browser, IDOK)), 1);
    SendMessageA(browser, BFFM_ENABLEOK, 0, valid ? 1 : 0);
    if (kind == RefreshDropped || kind == RefreshTree) SetFocus(browser);
    moduleState.modeWord = 0;
    return 0;
}

LRESULT CALLBACK BrowseHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case BFFM_INITIALIZED:
        return Initialise(window);
    case BFFM_SELCHANGED:  // also WM_DESTROY, whose argument is 0
        if (wParam == 0) break;
        return TreeSelection(window, reinterpret_cast<LPCITEMIDLIST>(wParam));
    case WM_NOTIFY:
        if (reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(NM_DBLCLK))
            ShellExecuteA(nullptr, nullptr, "EXPLORER", PathBuffer(), nullptr, SW_SHOWNORMAL);
        break;
    case WM_CONTEXTMENU:
        if (GetWindowLongPtrA(reinterpret_cast<HWND>(wParam), GWLP_ID) == IDOK)
            PostMessageA(window, WM_COMMAND, IDOK, RightClickOnOk);
        break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            Accept(lParam);
            HookBrowser(window, HookSave);
            break;
        case IDCANCEL:
            HookBrowser(window, HookRestore);
            break;
        case BrowserHistoryBox:
            HistoryNotice(window, HIWORD(wParam));
            return 0;
        case BrowserMoveBox:
        case BrowserNewBox:
        case BrowserUpdateBox:
        case BrowserBelowBox: {
            DWORD bit = LOWORD(wParam) & 0x0F;
            OpFlags() ^= bit;
            ShowOptions(window, bit);
            return 0;
        }
        }
        break;
    case WM_LBUTTONDBLCLK:
        SortHistory(HistoryBox());
        break;
    case WM_DROPFILES:
        return Drop(window, reinterpret_cast<HDROP>(wParam));
    case WM_APP_OPENED:
        CursorOnto(reinterpret_cast<HWND>(wParam));
        return 0;
    case WM_APP_REFRESH:
        return BrowserRefresh(window, static_cast<int>(wParam));
    }
    return PassOn(window, message, wParam, lParam);
}
