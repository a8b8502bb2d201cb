// The progress window of LnCopy, as a user acts on it: ESC, a click on the
// ESC button or a close request while the run goes on, then, after the run, a resize, the log export by
// double-click or by the right-click menu, and the closing of the window by its
// button (left- or right-click). Besides the actions, it reports how the run
// ended (the outcome icon drawn in the window, the run's time) and how the
// window closed.
#include "DialogScripts.h"
#include "HostText.h"
#include "Input.h"
#include "Options.h"
#include "Refusal.h"
#include "ScriptLines.h"
#include "Screenshot.h"
#include <stdio.h>
#include <string.h>

namespace {

enum : int { IdButton = 2, IdList = 3, IdStatus = 4 };
enum : DWORD {
    MenuWaitMs = 5000,   // for the popup menu to open or close
    CloseWaitMs = 5000,  // for the window to close after its button
    IconWaitMs = 2000,   // for the outcome icon, drawn as the run ends, to reach the screen
};
enum : int { IconSize = 32, IconLeft = 12, IconTop = 10 };  // the outcome icon, at (12, 10) of the client area

// The window being played and when it was announced (the run starts right
// after the announcement is handled: both are posted, in that order).
HWND playedDialog = nullptr;
LARGE_INTEGER announcedAt;
bool endSeen = false;

bool RecogniseProgress(HWND window, LPARAM tag) {
    if (tag != 0 || !GetDlgItem(window, IdList) || !GetDlgItem(window, IdStatus)) return false;
    QueryPerformanceCounter(&announcedAt);
    playedDialog = window;
    endSeen = false;
    return true;
}

double MillisecondsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int LineCount(HWND dialog) {
    return static_cast<int>(SendToWindow(GetDlgItem(dialog, IdList), LB_GETCOUNT, 0, 0));
}

// The button's text is read from the window itself, not asked of the host's
// thread: a query sent during the run would wait for the engine's next pump
// and slow the run down.
bool RunEnded(HWND dialog) {
    wchar_t text[8] = L"";
    return !IsWindow(dialog) || (InternalGetWindowText(GetDlgItem(dialog, IdButton), text, 8) > 0 &&
                                 lstrcmpW(text, L"&OK") == 0);
}

// Which system icon is drawn at the outcome icon's place: each candidate is
// drawn on the dialog's background colour and compared with the screen.
const char* OutcomeIconName(HWND dialog) {
    static const struct { LPCSTR id; const char* name; } icons[] = {
        {IDI_ASTERISK, "asterisk"}, {IDI_EXCLAMATION, "exclamation"}, {IDI_HAND, "hand"}, {nullptr, "none"}};
    POINT origin = {IconLeft, IconTop};
    if (!ClientToScreen(dialog, &origin)) return "unknown";
    HDC screen = GetDC(nullptr);
    HDC shown = CreateCompatibleDC(screen), drawn = CreateCompatibleDC(screen);
    HBITMAP shownBitmap = CreateCompatibleBitmap(screen, IconSize, IconSize);
    HBITMAP drawnBitmap = CreateCompatibleBitmap(screen, IconSize, IconSize);
    HGDIOBJ oldShown = SelectObject(shown, shownBitmap), oldDrawn = SelectObject(drawn, drawnBitmap);
    BitBlt(shown, 0, 0, IconSize, IconSize, screen, origin.x, origin.y, SRCCOPY);
    const char* best = "unknown";
    int bestMatches = IconSize * IconSize * 9 / 10;  // at least 90 % of the pixels
    RECT all = {0, 0, IconSize, IconSize};
    for (const auto& icon : icons) {
        FillRect(drawn, &all, GetSysColorBrush(COLOR_3DFACE));
        if (icon.id) DrawIcon(drawn, 0, 0, LoadIconA(nullptr, icon.id));
        int matches = 0;
        for (int y = 0; y < IconSize; ++y)
            for (int x = 0; x < IconSize; ++x) matches += GetPixel(shown, x, y) == GetPixel(drawn, x, y);
        if (matches > bestMatches) {
            bestMatches = matches;
            best = icon.name;
        }
    }
    SelectObject(shown, oldShown);
    SelectObject(drawn, oldDrawn);
    DeleteObject(shownBitmap);
    DeleteObject(drawnBitmap);
    DeleteDC(shown);
    DeleteDC(drawn);
    ReleaseDC(nullptr, screen);
    return best;
}

// "cut: none", or "cut: 4[LINE] ..." for each line of the status text that
// the control does not show whole: measured as a static control draws it (left
// aligned, words wrapped, in its own font), a line that reaches past the
// control's right or bottom edge.
std::string CutStatusLines(HWND status) {
    wchar_t text[512] = L"";
    InternalGetWindowText(status, text, 512);
    RECT client;
    GetClientRect(status, &client);
    HDC dc = GetDC(status);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendToWindow(status, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    std::string cut;
    int bottom = 0;
    for (const wchar_t* line = text; *line;) {
        const wchar_t* end = wcsstr(line, L"\r\n");
        int length = end ? static_cast<int>(end - line) : lstrlenW(line);
        RECT drawn = {0, 0, client.right, 0};
        DrawTextW(dc, line, length, &drawn, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
        bottom += drawn.bottom;
        if (drawn.right > client.right || bottom > client.bottom)
            cut += std::string(cut.empty() ? "" : " ") + "4[" +
                   CodePage932ToUtf8(WideToCodePage932(std::wstring(line, length))) + "]";
        line = end ? end + 2 : line + length;
    }
    if (previous) SelectObject(dc, previous);
    ReleaseDC(status, dc);
    return cut.empty() ? "none" : cut;
}

// The run's time limit (--limit) is reached: says so, and cancels the copy as
// the ESC button does (posted: the engine reads it at its next step).
void EndAtLimit(ScriptRun& run, HWND dialog) {
    run.limitReached = true;
    std::string line = "the run's time limit (--limit " + std::to_string(run.limitSeconds) +
                       ") was reached: the copy was cancelled";
    ReportLine(run, "limit", line);
    FailureLine(run, line);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IdButton)));
}

// Polls (finely: the run's time is reported) until done() or the run's end,
// however long the run takes; at the time limit the copy is cancelled and the
// wait goes on for the end that brings.
template <typename Done>
void WaitDuringRun(ScriptRun& run, HWND dialog, Done done) {
    while (!done() && !RunEnded(dialog)) {
        if (run.limitSeconds > 0 && !run.limitReached && MillisecondsSince(announcedAt) >= run.limitSeconds * 1000.0)
            EndAtLimit(run, dialog);
        Sleep(1);
    }
}

// Waits until the run has ended (the button reads "&OK", or the window is
// gone). The first time, reports the run's time, the outcome icon and the
// status text's lines not shown whole, and keeps the final status text for
// stderr. Returns true when the window is still open.
bool WaitForRunEnd(ScriptRun& run, HWND dialog) {
    WaitDuringRun(run, dialog, [] { return false; });
    if (!endSeen && dialog == playedDialog) {
        endSeen = true;
        char line[32];
        snprintf(line, sizeof line, "%.0f ms", MillisecondsSince(announcedAt));
        ReportLine(run, "run", line);
        // The icon is drawn into the window as the button turns to "&OK"; it
        // reaches the screen when Wine next flushes the window, so it is looked
        // at until it shows, as a person's glance would take it in.
        const char* icon = "window gone";
        WaitFor([dialog, &icon] {
            icon = IsWindow(dialog) ? OutcomeIconName(dialog) : "window gone";
            return strcmp(icon, "none") != 0 && strcmp(icon, "unknown") != 0;
        }, IconWaitMs);
        ReportLine(run, "icon", icon);
        if (IsWindow(dialog)) {
            ReportLine(run, "cut", CutStatusLines(GetDlgItem(dialog, IdStatus)));
            StderrLine(run, WindowTextUtf8(GetDlgItem(dialog, IdStatus)));
        }
    }
    return IsWindow(dialog) != FALSE;
}

// Waits until the list holds lines lines. When the run ends first (or the
// limit cancels it), the action cannot be taken. Returns the count seen.
int WaitForLines(ScriptRun& run, HWND dialog, const ScriptAction& action, int lines) {
    WaitDuringRun(run, dialog, [dialog, lines] { return !IsWindow(dialog) || LineCount(dialog) >= lines; });
    int seen = IsWindow(dialog) ? LineCount(dialog) : -1;
    if (seen < lines && !run.limitReached)
        NotDone(run, action, "the run ended before line " + std::to_string(lines) + " was listed");
    return run.limitReached ? -1 : seen;
}

// ESC really pressed (SendInput) once lines lines are in the list, held until
// the run has ended so that the engine's key query cannot miss it.
void PressEscapeAfter(ScriptRun& run, HWND dialog, const ScriptAction& action, int lines) {
    int seen = WaitForLines(run, dialog, action, lines);
    if (seen < lines) return;
    SendKey(VK_ESCAPE, false);
    ReportLine(run, "cancel", std::to_string(seen) + " lines, ESC key");
    WaitForRunEnd(run, dialog);
    SendKey(VK_ESCAPE, true);
}

// A click on the ESC button once lines lines are in the list.
void ClickButtonAfter(ScriptRun& run, HWND dialog, const ScriptAction& action, int lines) {
    int seen = WaitForLines(run, dialog, action, lines);
    if (seen < lines) return;
    ClickControl(GetDlgItem(dialog, IdButton));
    ReportLine(run, "cancel", std::to_string(seen) + " lines, button");
    WaitForRunEnd(run, dialog);
}

void PostCloseAfter(ScriptRun& run, HWND dialog, const ScriptAction& action, int lines) {
    int seen = WaitForLines(run, dialog, action, lines);
    if (seen < lines) return;
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    ReportLine(run, "close", std::to_string(seen) + " lines");
    if (!WaitForRunEnd(run, dialog)) ReportLine(run, "closed", "by the close request");
}

std::string Placement(HWND dialog, int id) {
    RECT rect = {};
    HWND control = GetDlgItem(dialog, id);
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    char text[64];
    snprintf(text, sizeof text, "%ld,%ld,%ld,%ld", rect.left, rect.top, rect.right - rect.left,
             rect.bottom - rect.top);
    return text;
}

// "layout: list=L,T,W,H button=... status=... client=W,H" in client coordinates.
void ReportLayout(ScriptRun& run, HWND dialog) {
    RECT client = {};
    GetClientRect(dialog, &client);
    char size[32];
    snprintf(size, sizeof size, "%ld,%ld", client.right, client.bottom);
    ReportLine(run, "layout", "list=" + Placement(dialog, IdList) + " button=" + Placement(dialog, IdButton) +
                                  " status=" + Placement(dialog, IdStatus) + " client=" + size);
}

// Resizes the window by DX,DY pixels, the way dragging its frame does.
void ResizeWindow(ScriptRun& run, HWND dialog, const std::wstring& value) {
    int dx = 0, dy = 0;
    if (swscanf(value.c_str(), L"%d,%d", &dx, &dy) != 2) {
        ReportLine(run, "script", "--resize wants DX,DY");
        return;
    }
    if (!WaitForRunEnd(run, dialog)) return;
    ReportLayout(run, dialog);
    RECT rect;
    GetWindowRect(dialog, &rect);
    SetWindowPos(dialog, nullptr, 0, 0, rect.right - rect.left + dx, rect.bottom - rect.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendToWindow(dialog, WM_NULL, 0, 0);
    ReportLayout(run, dialog);
}

HWND ClickedControl(ScriptRun& run, HWND dialog, const std::wstring& value) {
    if (value == L"list") return GetDlgItem(dialog, IdList);
    if (value == L"status") return GetDlgItem(dialog, IdStatus);
    ReportLine(run, "script", "export from list or status");
    return nullptr;
}

// "selected: N/M": selected lines of the list over all its lines.
void ReportSelection(ScriptRun& run, HWND dialog) {
    HWND list = GetDlgItem(dialog, IdList);
    SendToWindow(dialog, WM_NULL, 0, 0);  // what the export posted is done
    ReportLine(run, "selected", std::to_string(SendToWindow(list, LB_GETSELCOUNT, 0, 0)) + "/" +
                                    std::to_string(SendToWindow(list, LB_GETCOUNT, 0, 0)));
}

// A double-click on the control's first line (the list) or its centre: the
// mouse messages a double-click brings, in their order.
void DoubleClickExport(ScriptRun& run, HWND dialog, const std::wstring& value) {
    HWND control = ClickedControl(run, dialog, value);
    if (!control || !WaitForRunEnd(run, dialog)) return;
    RECT rect;
    GetClientRect(control, &rect);
    LPARAM at = MAKELPARAM(rect.right / 2, value == L"list" ? 4 : rect.bottom / 2);
    SendToWindow(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendToWindow(control, WM_LBUTTONUP, 0, at);
    SendToWindow(control, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendToWindow(control, WM_LBUTTONUP, 0, at);
    ReportSelection(run, dialog);
}

HWND VisibleMenuWindow() {
    HWND menu = nullptr;
    while ((menu = FindWindowExA(nullptr, menu, "#32768", nullptr)) != nullptr) {
        DWORD process = 0;
        GetWindowThreadProcessId(menu, &process);
        if (process == GetCurrentProcessId() && IsWindowVisible(menu)) return menu;
    }
    return nullptr;
}

// Right-click on the control, then "& コピー" in the popup menu: a click on it
// when it is enabled; ESC to the menu when it is greyed. Reports the item as
// "menu: TEXT enabled|grayed". The right-click is posted: the menu runs inside
// its handling.
void RightClickExport(ScriptRun& run, HWND dialog, const std::wstring& value) {
    HWND control = ClickedControl(run, dialog, value);
    if (!control || !WaitForRunEnd(run, dialog)) return;
    RECT rect;
    GetClientRect(control, &rect);
    LPARAM at = MAKELPARAM(rect.right / 2, rect.bottom / 2);
    PostMessageA(control, WM_RBUTTONDOWN, MK_RBUTTON, at);
    PostMessageA(control, WM_RBUTTONUP, 0, at);
    HWND menuWindow = nullptr;
    if (!WaitFor([&menuWindow] { return (menuWindow = VisibleMenuWindow()) != nullptr; }, MenuWaitMs)) {
        ReportLine(run, "menu", "none");
        return;
    }
    HMENU menu = reinterpret_cast<HMENU>(SendToWindow(menuWindow, MN_GETHMENU, 0, 0));
    char text[64] = "";
    GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
    UINT state = GetMenuState(menu, 0, MF_BYPOSITION);
    bool grayed = state != static_cast<UINT>(-1) && (state & MF_GRAYED) != 0;
    ReportLine(run, "menu", CodePage932ToUtf8(text) + (grayed ? " grayed" : " enabled") + " of " +
                                std::to_string(GetMenuItemCount(menu)));
    RECT item;
    GetWindowRect(menuWindow, &item);
    if (grayed) {
        PostMessageA(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    } else {
        LPARAM on = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);  // screen
        PostMessageA(menuWindow, WM_LBUTTONDOWN, MK_LBUTTON, on);
        PostMessageA(menuWindow, WM_LBUTTONUP, 0, on);
    }
    if (!WaitFor([] { return VisibleMenuWindow() == nullptr; }, MenuWaitMs)) ReportLine(run, "menu", "stayed open");
    ReportSelection(run, dialog);
}

// Closes by a click (or right-click) on the button once the run has ended, and
// reports how the window closed. Keys of a --hold are held by the framework.
void CloseByButton(ScriptRun& run, HWND dialog, bool right) {
    if (!WaitForRunEnd(run, dialog)) {
        ReportLine(run, "closed", "before the ending");
        return;
    }
    TakeScreenshot(run, dialog, "progress", "close");
    HWND button = GetDlgItem(dialog, IdButton);
    if (right) RightClickControl(button);
    else ClickControl(button);
    bool closed = WaitFor([dialog] { return !IsWindow(dialog); }, CloseWaitMs);
    ReportLine(run, "closed", closed ? (right ? "right-click on the button" : "button") : "stayed open");
}

bool PerformProgress(ScriptRun& run, HWND dialog, const ScriptAction& action) {
    const std::wstring& name = action.name;
    int count = _wtoi(action.value.c_str());
    if (name == L"--esc-after") PressEscapeAfter(run, dialog, action, count);
    else if (name == L"--click-after") ClickButtonAfter(run, dialog, action, count);
    else if (name == L"--close-after") PostCloseAfter(run, dialog, action, count);
    else if (name == L"--resize") ResizeWindow(run, dialog, action.value);
    else if (name == L"--wait-end") WaitForRunEnd(run, dialog);
    else if (name == L"--export") DoubleClickExport(run, dialog, action.value);
    else if (name == L"--rclick-export") RightClickExport(run, dialog, action.value);
    else if (name == L"--rclick-button") {
        CloseByButton(run, dialog, true);
        return true;
    }
    return false;
}

// Without another ending: wait for the run to end, then click the button.
void FinishProgress(ScriptRun& run, HWND dialog) { CloseByButton(run, dialog, false); }

// After an action that could not be taken, or at the time limit: the copy is
// cancelled when it still runs, and the "&OK" the window then shows clicked.
void CancelProgress(ScriptRun& run, HWND dialog) {
    if (!RunEnded(dialog)) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IdButton)));
        ReportLine(run, "cancel", std::to_string(LineCount(dialog)) + " lines, not done as asked");
    }
    CloseByButton(run, dialog, false);
}

}  // namespace

const DialogScript progressScript = {"progress", RecogniseProgress, InProgress, PerformProgress, FinishProgress,
                                     CancelProgress};
