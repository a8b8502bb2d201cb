#include "Script.h"
#include "PathText.h"
#include <shellapi.h>
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

namespace {

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

// 0 when script does not take the action; 1 as a flag, 2 with a value.
int Takes(const DialogScript& script, const std::wstring& name) {
    for (const wchar_t* const* action = script.actions; *action; ++action) {
        size_t length = wcslen(*action);
        bool withValue = length > 0 && (*action)[length - 1] == L'=';
        if (withValue) --length;
        if (name.size() == length && name.compare(0, length, *action, length) == 0)
            return withValue ? ScriptActionWithValue : ScriptActionFlag;
    }
    return NotScriptAction;
}

const DialogScript* Recognise(HWND window, LPARAM tag) {
    for (const DialogScript* script : dialogScripts)
        if (script->recognise(window, tag)) return script;
    return nullptr;
}

// Plays one dialog: its actions in order, then its ending unless an action ended it.
void PlayDialog(ScriptRun& run, const DialogScript& script, HWND dialog) {
    WaitFor([dialog] { return IsWindowVisible(dialog) != FALSE || !IsWindow(dialog); }, ScriptWaitMs);
    ReportLine(run, "title", WindowTextUtf8(dialog));
    SendToWindow(dialog, WM_NULL, 0, 0);  // its first paint has been handled once this returns
    TakeScreenshot(run, dialog, script.kind, "open");
    bool ended = false;
    while (!ended && run.next < run.actions.size()) {
        const ScriptAction& action = run.actions[run.next];
        if (action.name == L"--hold") {
            ++run.next;
            for (const wchar_t* key = action.value.c_str(); *key;) {
                const wchar_t* comma = wcschr(key, L',');
                std::wstring name(key, comma ? comma - key : wcslen(key));
                if (name == L"CTRL") run.heldKeys.push_back(VK_CONTROL);
                else if (name == L"SHIFT") run.heldKeys.push_back(VK_SHIFT);
                else if (name == L"NONCONVERT") run.heldKeys.push_back(VK_NONCONVERT);
                else ReportLine(run, "script", "unknown key to hold");
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
    if (!ended && IsWindow(dialog)) {
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
    for (; run.next < run.actions.size(); ++run.next)
        ReportLine(run, "script", "not taken: " + CodePage932ToUtf8(WideToCodePage932(run.actions[run.next].name)));
    return 0;
}

}  // namespace

int ScriptActionKind(const wchar_t* name) {
    if (lstrcmpW(name, L"--hold") == 0) return ScriptActionWithValue;
    for (const DialogScript* script : dialogScripts)
        if (int kind = Takes(*script, name)) return kind;
    return NotScriptAction;
}

void StartScript(HostSession& session, ScriptRun& run) {
    run.session = &session;
    watchedRun = &run;
    NoteShellWindows();
    InitializeCriticalSection(&queue.lock);
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
    CloseHandle(scriptThread);
    scriptThread = nullptr;
    ReleaseHeldKeys(run);
}

// --- report -------------------------------------------------------------------

std::string CodePage932ToUtf8(const std::string& text) {
    if (text.empty()) return text;
    int units = MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (units <= 0) return std::string();
    std::wstring wide(units, L'\0');
    MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), &wide[0], units);
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    std::string out(bytes > 0 ? bytes : 0, '\0');
    if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, &out[0], bytes, nullptr, nullptr);
    return out;
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
    run.reportLines.push_back(std::string(key) + ": " + utf8Value);
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
void PressHeldKeys(ScriptRun& run) {
    for (WORD key : run.heldKeys) SendKey(key, false);
    if (run.heldKeys.empty() || !run.session) return;
    WaitFor([&run] {
        for (WORD key : run.heldKeys)
            if (!SendToWindow(run.session->window, HostKeyHeldQuery, key, 0)) return false;
        return true;
    }, 2000);
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

// The bytes start to end of field's text (code page 932), in UTF-8.
std::string SelectedText(HWND field, DWORD start, DWORD end) {
    std::string text = field ? WindowTextBytes(field) : std::string();
    if (end > text.size()) end = static_cast<DWORD>(text.size());
    if (start > end) start = end;
    return CodePage932ToUtf8(text.substr(start, end - start));
}

}  // namespace

void ReportRefusalAndCancel(ScriptRun& run, HWND dialog) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    DWORD start = 0, end = 0;
    if (info.hwndFocus) SendToWindow(info.hwndFocus, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    int id = info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0;
    char line[64];
    snprintf(line, sizeof line, "%d %lu-%lu", id, static_cast<unsigned long>(start), static_cast<unsigned long>(end));
    ReportLine(run, "refused", line);
    std::string label = LabelAfter(info.hwndFocus);
    if (label.empty()) label = std::to_string(id);
    run.stderrLines.push_back("refused: " + label + " \"" + SelectedText(info.hwndFocus, start, end) + "\"");
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
