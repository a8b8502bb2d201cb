#include "HostKit.h"
#include "PathText.h"
#include <stdlib.h>
#include <string.h>

namespace {

HostSession* current = nullptr;
const char HostClassName[] = "TavimoreReferenceHost";
const UINT_PTR BoxTimer = 0x7A01;
DWORD boxDeadline = 0;

struct BoxSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwnedBox(HWND window, LPARAM data) {
    auto search = reinterpret_cast<BoxSearch*>(data);
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "#32770") == 0 && IsWindowVisible(window) &&
        GetWindow(window, GW_OWNER) == search->owner && GetDlgItem(window, 0xFFFF)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Looks for the message box announced by the last notice; records and closes it.
void WatchForBox(HWND host) {
    BoxSearch search = {host, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindOwnedBox, reinterpret_cast<LPARAM>(&search));
    if (!search.found) {
        if (static_cast<LONG>(GetTickCount() - boxDeadline) > 0) KillTimer(host, BoxTimer);
        return;
    }
    KillTimer(host, BoxTimer);
    char caption[128] = "";
    char text[1024] = "";
    GetWindowTextA(search.found, caption, sizeof caption);
    GetDlgItemTextA(search.found, 0xFFFF, text, sizeof text);
    current->boxes.push_back(std::string(caption) + " | " + text);
    if (current->closeBoxes) PostMessageA(search.found, WM_COMMAND, IDOK, 0);
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP_OPENED && current) {
        if (wParam == 0) {
            boxDeadline = GetTickCount() + current->boxWaitMs;
            SetTimer(window, BoxTimer, 20, nullptr);
        } else if (current->onWindowOpened) {
            current->onWindowOpened(reinterpret_cast<HWND>(wParam), lParam);
        }
        return 0;
    }
    if (message == HostRunTask && wParam) return reinterpret_cast<HostThreadTask>(wParam)(lParam);
    if (message == HostKeyHeldQuery) return (GetAsyncKeyState(static_cast<int>(wParam)) & 0x8000) != 0;
    if (message == WM_SETTEXT && current && lParam) current->titles.push_back(reinterpret_cast<const char*>(lParam));
    if (message == WM_TIMER && wParam == BoxTimer && current) {
        WatchForBox(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool OpenHostSession(HostSession& session) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = HostClassName;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    RegisterClassA(&windowClass);  // fails harmlessly when already registered
    session.window = CreateWindowExA(0, HostClassName, "Tavimore host", WS_OVERLAPPEDWINDOW, 40, 40, 480, 320,
                                     nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!session.window) return false;
    session.context = static_cast<HostContext*>(calloc(1, HostContextMinSize + 64));
    if (!session.context) return false;
    current = &session;
    return true;
}

void CloseHostSession(HostSession& session) {
    if (session.window) DestroyWindow(session.window);
    free(session.context);
    session.window = nullptr;
    session.context = nullptr;
    if (current == &session) current = nullptr;
}

ULONG_PTR WINAPI HostPathCallback(char* path, int mode) {
    switch (mode) {
    case PathCutLast:
        return reinterpret_cast<ULONG_PTR>(CutLastComponent(path));
    case PathNamePart:
        return reinterpret_cast<ULONG_PTR>(FindNamePart(path));
    case PathSeparatorCount:
        return CountSeparators(path);
    default:
        return 0;
    }
}

DWORD WINAPI HostKeyCallback(DWORD keyList, DWORD) {
    if (current) current->keyLists.push_back(keyList);
    DWORD mask = 0;
    for (int i = 0; i < 4; ++i) {
        BYTE key = static_cast<BYTE>(keyList >> (8 * i));
        if (key == 0 || key == 0xFF) break;
        bool held = current && current->keysFixed ? (current->keyMask >> i) & 1
                                                  : (GetAsyncKeyState(key) & 0x8000) != 0;
        if (held) mask |= 1u << i;
    }
    // Bits above the four key positions are no keys: a fixed answer carries
    // them as given, as a host with bits of its own would.
    if (current && current->keysFixed) mask |= current->keyMask & ~0x0Fu;
    return mask;
}

bool PumpHostMessages(DWORD ms, const std::function<bool()>& done) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (done && done()) return true;
        if (GetTickCount() - start >= ms) return done ? done() : false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}
