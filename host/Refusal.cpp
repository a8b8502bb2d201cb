#include "Refusal.h"
#include "HostText.h"
#include "Input.h"
#include "PathText.h"
#include "ScriptLines.h"
#include "Screenshot.h"
#include <stdio.h>
#include <string>
#include <vector>

namespace {

CRITICAL_SECTION fieldsLock;  // the watched fields, shared with the host's thread

// The edit fields of the dialogs, each with the selection it was last given
// by EM_SETSEL (the library's own, in its units). The script subclasses each
// field it finds; the field's own procedure does the rest.
struct WatchedField {
    HWND field;
    WNDPROC previous;
    bool given;  // an EM_SETSEL was seen
    DWORD start, end;
};
std::vector<WatchedField> watchedFields;

LRESULT CALLBACK FieldProcedure(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC previous = nullptr;
    EnterCriticalSection(&fieldsLock);
    for (WatchedField& watched : watchedFields)
        if (watched.field == field) {
            previous = watched.previous;
            if (message == EM_SETSEL) {
                watched.given = true;
                watched.start = static_cast<DWORD>(wParam);
                watched.end = static_cast<DWORD>(lParam);
            }
        }
    LeaveCriticalSection(&fieldsLock);
    return previous ? CallWindowProcW(previous, field, message, wParam, lParam) : 0;
}

BOOL CALLBACK WatchField(HWND child, LPARAM) {
    char kind[16] = "";
    if (!GetClassNameA(child, kind, sizeof kind) || lstrcmpiA(kind, "Edit") != 0) return TRUE;
    EnterCriticalSection(&fieldsLock);
    bool known = false;
    for (const WatchedField& watched : watchedFields) known = known || watched.field == child;
    if (!known) {
        // A Unicode procedure: typed characters reach the field whole (an
        // ANSI one would split a double-byte character into two messages).
        WNDPROC previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(child, GWLP_WNDPROC));
        watchedFields.push_back(WatchedField{child, previous, false, 0, 0});
        SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FieldProcedure));
    }
    LeaveCriticalSection(&fieldsLock);
    return TRUE;
}

bool LastGivenSelection(HWND field, DWORD* start, DWORD* end) {
    EnterCriticalSection(&fieldsLock);
    bool found = false;
    for (const WatchedField& watched : watchedFields)
        if (watched.field == field && watched.given) {
            *start = watched.start;
            *end = watched.end;
            found = true;
        }
    LeaveCriticalSection(&fieldsLock);
    return found;
}

}  // namespace

void StartFieldWatch() { InitializeCriticalSection(&fieldsLock); }

void WatchEditFields(HWND dialog) { EnumChildWindows(dialog, WatchField, 0); }

void PressOkOrReportRefusal(ScriptRun& run, HWND dialog) {
    HWND ok = GetDlgItem(dialog, IDOK);
    TakeScreenshot(run, dialog, "dialog", "close");
    if (ok && IsWindowEnabled(ok)) {
        ClickControl(ok);
        if (WaitFor([dialog] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 3000)) return;
    }
    ReportRefusalAndCancel(run, dialog);
}

namespace {

// The label of a field: the visible static text that begins where the field
// ends, on the same row (the unit after each time field, "年", "月", ...).
// Empty when there is none.
std::string LabelAfter(HWND field) {
    RECT at;
    if (!field || !GetWindowRect(field, &at)) return std::string();
    for (HWND other = GetWindow(field, GW_HWNDFIRST); other; other = GetWindow(other, GW_HWNDNEXT)) {
        char kind[16] = "";
        RECT rect;
        if (other == field || !IsWindowVisible(other) || !GetClassNameA(other, kind, sizeof kind) ||
            lstrcmpiA(kind, "Static") != 0 || !GetWindowRect(other, &rect))
            continue;
        bool adjoins = rect.left >= at.right - 2 && rect.left <= at.right + 2;
        if (adjoins && rect.top < at.bottom && rect.bottom > at.top) return WindowTextUtf8(other);
    }
    return std::string();
}

// Byte offset in code page 932 text of the character at index characters.
DWORD ByteOffset(const std::string& text, DWORD characters) {
    size_t at = 0;
    for (DWORD i = 0; i < characters && at < text.size(); ++i)
        at += IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
    return static_cast<DWORD>(at);
}

// The selection of field in bytes of its code page 932 text, ordered. The
// library selects byte positions; Wine's edit control takes them as character
// positions (cut to its length) and reports characters. When the field shows
// what the last EM_SETSEL gave it, that EM_SETSEL's positions are the bytes
// meant; otherwise (the user typed since) the shown characters are counted
// into bytes.
void SelectionInBytes(HWND field, const std::string& text, DWORD* start, DWORD* end) {
    DWORD shownStart = 0, shownEnd = 0;
    SendToWindow(field, EM_GETSEL, reinterpret_cast<WPARAM>(&shownStart), reinterpret_cast<LPARAM>(&shownEnd));
    int characters = text.empty() ? 0 : MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    DWORD length = characters > 0 ? static_cast<DWORD>(characters) : 0;
    DWORD givenStart = 0, givenEnd = 0;
    if (LastGivenSelection(field, &givenStart, &givenEnd) && givenStart != static_cast<DWORD>(-1)) {
        DWORD a = givenStart < length ? givenStart : length, b = givenEnd < length ? givenEnd : length;
        if ((a < b ? a : b) == shownStart && (a < b ? b : a) == shownEnd) {
            DWORD size = static_cast<DWORD>(text.size());
            a = givenStart < size ? givenStart : size;
            b = givenEnd < size ? givenEnd : size;
            *start = a < b ? a : b;
            *end = a < b ? b : a;
            return;
        }
    }
    *start = ByteOffset(text, shownStart);
    *end = ByteOffset(text, shownEnd);
}

}  // namespace

void ReportRefusalAndCancel(ScriptRun& run, HWND dialog) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    DWORD start = 0, end = 0;
    std::string text = info.hwndFocus ? WindowTextBytes(info.hwndFocus) : std::string();
    if (info.hwndFocus) SelectionInBytes(info.hwndFocus, text, &start, &end);
    int id = info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0;
    char line[64];
    snprintf(line, sizeof line, "%d %lu-%lu", id, static_cast<unsigned long>(start), static_cast<unsigned long>(end));
    ReportLine(run, "refused", line);
    std::string label = LabelAfter(info.hwndFocus);
    if (label.empty()) label = std::to_string(id);
    StderrLine(run, "refused: " + label + " \"" + CodePage932ToUtf8(text.substr(start, end - start)) + "\"");
    HWND cancel = GetDlgItem(dialog, IDCANCEL);
    if (cancel) ClickControl(cancel);
    else SendToWindow(dialog, WM_COMMAND, IDCANCEL, 0);
}

