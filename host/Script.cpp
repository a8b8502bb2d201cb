#include "Script.h"
#include "Options.h"
#include "PathText.h"
#include <shellapi.h>
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

namespace {

enum : DWORD {
    HeldKeyPresses = 4,    // presses of a held key that the host's thread does not read held
    HeldKeyWaitMs = 500,   // for the host's thread to read a pressed key held
};

const DialogScript* const dialogScripts[] = {&browserScript, &progressScript, &nameScript, &timeScript};

// Windows the library announced, handed from the host's thread to the script's.
struct OpenedQueue {
    CRITICAL_SECTION lock;
    HANDLE signal = nullptr;
    std::vector<std::pair<HWND, LPARAM>> windows;
};

OpenedQueue queue;
HANDLE scriptThread = nullptr;
volatile LONG stopping = 0;
ScriptRun* watchedRun = nullptr;  // whose report takes the shell's own windows

bool TakeOpened(HWND* window, LPARAM* tag, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        EnterCriticalSection(&queue.lock);
        bool found = !queue.windows.empty();
        if (found) {
            *window = queue.windows.front().first;
            *tag = queue.windows.front().second;
            queue.windows.erase(queue.windows.begin());
        }
        LeaveCriticalSection(&queue.lock);
        if (found) return true;
        if (stopping || GetTickCount() - start >= ms) return false;
        if (watchedRun) WatchShellWindows(*watchedRun);
        WaitForSingleObject(queue.signal, 50);
    }
}

// True when script's dialog takes the action (the option table says so).
bool Takes(const DialogScript& script, const std::wstring& name) {
    const OptionSpec* found = FindOption(name.c_str());
    return found && (found->dialogs & script.dialog) != 0;
}

// Lines of the script thread, handed to the host's thread under this lock:
// once handedOver is set, the thread adds none.
CRITICAL_SECTION linesLock;
bool handedOver = false;

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
    EnterCriticalSection(&linesLock);
    for (WatchedField& watched : watchedFields)
        if (watched.field == field) {
            previous = watched.previous;
            if (message == EM_SETSEL) {
                watched.given = true;
                watched.start = static_cast<DWORD>(wParam);
                watched.end = static_cast<DWORD>(lParam);
            }
        }
    LeaveCriticalSection(&linesLock);
    return previous ? CallWindowProcW(previous, field, message, wParam, lParam) : 0;
}

BOOL CALLBACK WatchField(HWND child, LPARAM) {
    char kind[16] = "";
    if (!GetClassNameA(child, kind, sizeof kind) || lstrcmpiA(kind, "Edit") != 0) return TRUE;
    EnterCriticalSection(&linesLock);
    bool known = false;
    for (const WatchedField& watched : watchedFields) known = known || watched.field == child;
    if (!known) {
        // A Unicode procedure: typed characters reach the field whole (an
        // ANSI one would split a double-byte character into two messages).
        WNDPROC previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(child, GWLP_WNDPROC));
        watchedFields.push_back(WatchedField{child, previous, false, 0, 0});
        SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FieldProcedure));
    }
    LeaveCriticalSection(&linesLock);
    return TRUE;
}

bool LastGivenSelection(HWND field, DWORD* start, DWORD* end) {
    EnterCriticalSection(&linesLock);
    bool found = false;
    for (const WatchedField& watched : watchedFields)
        if (watched.field == field && watched.given) {
            *start = watched.start;
            *end = watched.end;
            found = true;
        }
    LeaveCriticalSection(&linesLock);
    return found;
}

}  // namespace

void WatchEditFields(HWND dialog) { EnumChildWindows(dialog, WatchField, 0); }

namespace {

const DialogScript* Recognise(HWND window, LPARAM tag) {
    for (const DialogScript* script : dialogScripts)
        if (script->recognise(window, tag)) return script;
    return nullptr;
}

// Plays one dialog: its actions in order, then its ending unless an action
// ended it. An action that could not be taken cancels the dialog; so does a
// dialog that opens after one was not taken.
void PlayDialog(ScriptRun& run, const DialogScript& script, HWND dialog) {
    WaitFor([dialog] { return IsWindowVisible(dialog) != FALSE || !IsWindow(dialog); }, ScriptWaitMs);
    ReportLine(run, "title", WindowTextUtf8(dialog));
    SendToWindow(dialog, WM_NULL, 0, 0);  // its first paint has been handled once this returns
    WatchEditFields(dialog);
    TakeScreenshot(run, dialog, script.kind, "open");
    bool ended = false;
    while (!ended && !run.notDone && !run.limitReached && run.next < run.actions.size()) {
        const ScriptAction& action = run.actions[run.next];
        if (action.name == L"--hold") {
            ++run.next;
            for (const wchar_t* key = action.value.c_str(); *key;) {
                const wchar_t* comma = wcschr(key, L',');
                std::wstring name(key, comma ? comma - key : wcslen(key));
                if (name == L"CTRL") run.heldKeys.push_back(VK_CONTROL);
                else if (name == L"SHIFT") run.heldKeys.push_back(VK_SHIFT);
                else if (name == L"NONCONVERT") run.heldKeys.push_back(VK_NONCONVERT);
                key = comma ? comma + 1 : key + name.size();
            }
            continue;
        }
        if (!Takes(script, action.name)) break;
        ++run.next;
        PressHeldKeys(run);
        ended = script.perform(run, dialog, action);
        ReleaseHeldKeys(run);
    }
    if ((run.notDone || run.limitReached) && !ended && IsWindow(dialog)) {
        ReleaseHeldKeys(run);
        script.cancel(run, dialog);
    } else if (!ended && IsWindow(dialog)) {
        // A --hold given last holds its keys at the ending ("--hold CTRL" at OK).
        PressHeldKeys(run);
        script.finish(run, dialog);
        ReleaseHeldKeys(run);
    }
    WaitFor([dialog] { return !IsWindow(dialog); }, ScriptWaitMs);
}

DWORD WINAPI ScriptThread(void* data) {
    ScriptRun& run = *static_cast<ScriptRun*>(data);
    HWND window;
    LPARAM tag;
    while (TakeOpened(&window, &tag, INFINITE)) {
        const DialogScript* script = Recognise(window, tag);
        if (script) PlayDialog(run, *script, window);
    }
    WatchShellWindows(run);
    // An action that no dialog took was not done: the first one says so.
    for (; run.next < run.actions.size(); ++run.next) {
        const ScriptAction& action = run.actions[run.next];
        if (!run.notDone && !run.limitReached) NotDone(run, action, "no dialog of the command was there to take it");
        else ReportLine(run, "script", "not taken: " + ActionText(action));
    }
    return 0;
}

}  // namespace

void StartScript(HostSession& session, ScriptRun& run) {
    run.session = &session;
    watchedRun = &run;
    NoteShellWindows();
    InitializeCriticalSection(&queue.lock);
    InitializeCriticalSection(&linesLock);
    queue.signal = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    session.onWindowOpened = [](HWND opened, LPARAM tag) {
        EnterCriticalSection(&queue.lock);
        queue.windows.push_back(std::make_pair(opened, tag));
        LeaveCriticalSection(&queue.lock);
        SetEvent(queue.signal);
    };
    scriptThread = CreateThread(nullptr, 0, ScriptThread, &run, 0, nullptr);
}

void StopScript(ScriptRun& run) {
    if (!scriptThread) return;
    InterlockedExchange(&stopping, 1);
    SetEvent(queue.signal);
    // The host's thread keeps serving the script's sends while it winds down.
    DWORD start = GetTickCount();
    while (WaitForSingleObject(scriptThread, 0) == WAIT_TIMEOUT && GetTickCount() - start < ScriptWaitMs)
        PumpHostMessages(20);
    bool ended = WaitForSingleObject(scriptThread, 0) == WAIT_OBJECT_0;
    // From here on the lines are the host's; a thread still running adds none.
    EnterCriticalSection(&linesLock);
    handedOver = true;
    LeaveCriticalSection(&linesLock);
    if (!ended) {
        std::string why = "the scripted user had not ended " + std::to_string(ScriptWaitMs / 1000) +
                          " s after the command returned";
        run.reportLines.push_back("script: " + why);
        run.failures.push_back(why);
        run.notDone = true;
    }
    CloseHandle(scriptThread);
    scriptThread = nullptr;
    if (ended) ReleaseHeldKeys(run);
}

// --- report -------------------------------------------------------------------

std::string WideToUtf8(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    int units = static_cast<int>(wide.size());
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    std::string out(bytes > 0 ? bytes : 0, '\0');
    if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, &out[0], bytes, nullptr, nullptr);
    return out;
}

std::string CodePage932ToUtf8(const std::string& text) {
    if (text.empty()) return text;
    int units = MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (units <= 0) return std::string();
    std::wstring wide(units, L'\0');
    MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), &wide[0], units);
    return WideToUtf8(wide);
}

std::string WideToCodePage932(const std::wstring& text) {
    if (text.empty()) return std::string();
    int bytes = WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(bytes > 0 ? bytes : 0, '\0');
    if (bytes > 0) WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), &out[0], bytes, nullptr, nullptr);
    return out;
}

namespace {

// A window's text in code page 932, asked of its thread.
std::string WindowTextBytes(HWND window) {
    char text[1024] = "";
    DWORD_PTR length = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, ScriptWaitMs,
                        &length);
    return std::string(text, strnlen(text, sizeof text));
}

}  // namespace

std::string WindowTextUtf8(HWND window) { return CodePage932ToUtf8(WindowTextBytes(window)); }

void ReportLine(ScriptRun& run, const char* key, const std::string& utf8Value) {
    EnterCriticalSection(&linesLock);
    if (!handedOver) run.reportLines.push_back(std::string(key) + ": " + utf8Value);
    LeaveCriticalSection(&linesLock);
}

void StderrLine(ScriptRun& run, const std::string& utf8) {
    EnterCriticalSection(&linesLock);
    if (!handedOver) run.stderrLines.push_back(utf8);
    LeaveCriticalSection(&linesLock);
}

std::string ActionText(const ScriptAction& action) {
    std::string text = CodePage932ToUtf8(WideToCodePage932(action.name));
    if (!action.value.empty()) text += " " + CodePage932ToUtf8(WideToCodePage932(action.value));
    return text;
}

void FailureLine(ScriptRun& run, const std::string& utf8) {
    EnterCriticalSection(&linesLock);
    if (!handedOver) run.failures.push_back(utf8);
    LeaveCriticalSection(&linesLock);
}

void NotDone(ScriptRun& run, const ScriptAction& action, const std::string& why) {
    std::string line = "not done: " + ActionText(action) + ": " + why;
    ReportLine(run, "script", line);
    EnterCriticalSection(&linesLock);
    if (!handedOver) {
        run.failures.push_back(line);
        run.notDone = true;
    }
    LeaveCriticalSection(&linesLock);
}

// --- acting on windows ----------------------------------------------------------

LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, ScriptWaitMs, &result)) return 0;
    return static_cast<LRESULT>(result);
}

void SendKey(WORD key, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

// Held once the host's thread, where the library reads them, reads every key
// held. Its own reading is what counts: Wine lets a thread reuse the key state
// it read less than 50 ms before, and a key pressed through SendInput does
// not end that, so this thread seeing the key says nothing about that one.
// A key that does not read held is pressed again, as a person would press a
// key the program missed: Wine sets its modifier keys to the X server's
// keyboard when one of its windows gains the X focus, and under Xvfb no key
// is down there, so a window that comes up just after the press lets Shift or
// Control go.
void PressHeldKeys(ScriptRun& run) {
    if (run.heldKeys.empty()) return;
    for (DWORD press = 0; press < HeldKeyPresses; ++press) {
        for (WORD key : run.heldKeys)
            if (press == 0 || !run.session || !SendToWindow(run.session->window, HostKeyHeldQuery, key, 0))
                SendKey(key, false);
        if (!run.session) return;
        bool held = WaitFor([&run] {
            for (WORD key : run.heldKeys)
                if (!SendToWindow(run.session->window, HostKeyHeldQuery, key, 0)) return false;
            return true;
        }, HeldKeyWaitMs);
        if (held) return;
    }
    ReportLine(run, "script", "held keys not seen held by the host's thread");
}

void ReleaseHeldKeys(ScriptRun& run) {
    for (WORD key : run.heldKeys) SendKey(key, true);
    if (!run.heldKeys.empty())
        WaitFor([&run] { return (GetAsyncKeyState(run.heldKeys.back()) & 0x8000) == 0; }, 2000);
    run.heldKeys.clear();
}

void TapKey(WORD key) {
    SendKey(key, false);
    SendKey(key, true);
}

void ClickControl(HWND control) { SendToWindow(control, BM_CLICK, 0, 0); }

void RightClickControl(HWND control) {
    RECT rect;
    GetClientRect(control, &rect);
    LPARAM centre = MAKELPARAM(rect.right / 2, rect.bottom / 2);
    SendToWindow(control, WM_RBUTTONDOWN, MK_RBUTTON, centre);
    SendToWindow(control, WM_RBUTTONUP, 0, centre);
}

void SettlePosted(HWND edit, int rounds) {
    for (int round = 0; round < rounds && IsWindow(edit); ++round) {
        SendToWindow(edit, EM_SETMODIFY, FALSE, 0);
        PostMessageA(edit, EM_SETMODIFY, TRUE, 0);
        WaitFor([edit] { return SendToWindow(edit, EM_GETMODIFY, 0, 0) != 0 || !IsWindow(edit); });
    }
}

void FocusControl(HWND dialog, HWND field) {
    SendToWindow(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
}

void TypeText(HWND edit, const std::string& text) {
    SendToWindow(edit, EM_SETSEL, 0, -1);
    if (text.empty()) {
        SendToWindow(edit, WM_CHAR, VK_BACK, 0);
        return;
    }
    int units = MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(units > 0 ? units : 0, L'\0');
    if (units > 0) MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), &wide[0], units);
    for (wchar_t unit : wide) {
        DWORD_PTR result;
        SendMessageTimeoutW(edit, WM_CHAR, unit, 1, SMTO_NORMAL, ScriptWaitMs, &result);
    }
}

void DropPaths(HWND window, const std::vector<std::string>& paths, DropDelivery delivery) {
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& path : paths) size += path.size() + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!block) return;
    DROPFILES* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    char* at = reinterpret_cast<char*>(drop) + sizeof(DROPFILES);
    for (const std::string& path : paths) {
        memcpy(at, path.c_str(), path.size() + 1);
        at += path.size() + 1;
    }
    GlobalUnlock(block);
    if (delivery == DropHandled)
        SendToWindow(window, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
    else if (!PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0))
        GlobalFree(block);
}

std::vector<std::string> SplitPathList(const std::wstring& list) {
    std::vector<std::string> paths;
    size_t start = 0;
    for (;;) {
        size_t bar = list.find(L'|', start);
        paths.push_back(WideToCodePage932(list.substr(start, bar == std::wstring::npos ? std::wstring::npos : bar - start)));
        if (bar == std::wstring::npos) return paths;
        start = bar + 1;
    }
}

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

// --- screenshots ------------------------------------------------------------------

void TakeScreenshot(ScriptRun& run, HWND window, const char* kind, const char* moment) {
    if (run.screenshotDir.empty() || !IsWindow(window)) return;
    Sleep(300);  // let the window finish painting what it was asked to
    RECT rect;
    if (!GetWindowRect(window, &rect)) return;
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    DWORD stride = (width * 3 + 3) & ~3u;
    std::vector<BYTE> pixels(stride * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    wchar_t name[64];
    _snwprintf(name, 64, L"\\%02d-%hs-%hs.bmp", ++run.screenshotCount, kind, moment);
    HANDLE out = CreateFileW((run.screenshotDir + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return;
    DWORD written;
    WriteFile(out, &file, sizeof file, &written, nullptr);
    WriteFile(out, &header, sizeof header, &written, nullptr);
    WriteFile(out, pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
    CloseHandle(out);
}
