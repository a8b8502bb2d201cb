#include "Input.h"
#include "HostText.h"
#include "ScriptLines.h"
#include <shellapi.h>
#include <shlobj.h>
#include <string.h>

namespace {

enum : DWORD {
    HeldKeyPresses = 4,    // presses of a held key that the host's thread does not read held
    HeldKeyWaitMs = 500,   // for the host's thread to read a pressed key held
};

}  // namespace

LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, ScriptWaitMs, &result)) return 0;
    return static_cast<LRESULT>(result);
}

std::string WindowTextBytes(HWND window) {
    char text[1024] = "";
    DWORD_PTR length = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, ScriptWaitMs,
                        &length);
    return std::string(text, strnlen(text, sizeof text));
}

std::string WindowTextUtf8(HWND window) { return CodePage932ToUtf8(WindowTextBytes(window)); }

void SettlePosted(HWND edit, int rounds) {
    for (int round = 0; round < rounds && IsWindow(edit); ++round) {
        SendToWindow(edit, EM_SETMODIFY, FALSE, 0);
        PostMessageA(edit, EM_SETMODIFY, TRUE, 0);
        WaitFor([edit] { return SendToWindow(edit, EM_GETMODIFY, 0, 0) != 0 || !IsWindow(edit); });
    }
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

void FocusControl(HWND dialog, HWND field) {
    SendToWindow(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
}

void TypeText(HWND edit, const std::string& text, int settleRounds) {
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
        SettlePosted(edit, settleRounds);
    }
}

void DropPaths(HWND window, const std::vector<std::wstring>& paths, DropDelivery delivery) {
    size_t size = sizeof(DROPFILES) + sizeof(wchar_t);
    for (const std::wstring& path : paths) size += (path.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!block) return;
    DROPFILES* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    wchar_t* at = reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(drop) + sizeof(DROPFILES));
    for (const std::wstring& path : paths) {
        memcpy(at, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
        at += path.size() + 1;
    }
    GlobalUnlock(block);
    if (delivery == DropHandled)
        SendToWindow(window, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
    else if (!PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0))
        GlobalFree(block);
}

std::vector<std::wstring> SplitPathList(const std::wstring& list) {
    std::vector<std::wstring> paths;
    size_t start = 0;
    for (;;) {
        size_t bar = list.find(L'|', start);
        paths.push_back(list.substr(start, bar == std::wstring::npos ? std::wstring::npos : bar - start));
        if (bar == std::wstring::npos) return paths;
        start = bar + 1;
    }
}
