// The host side of the contract, shared by the reference host program and the
// in-process tests: a top-level window that receives the library's opening
// notices, the context record, and the two callbacks.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include "HostContext.h"

struct HostSession {
    HostContext* context = nullptr;   // zeroed, HostContextMinSize bytes or more
    HWND window = nullptr;            // the host window handed to every export
    bool closeBoxes = true;           // read, record and close each message box
    std::vector<std::string> boxes;   // "CAPTION | TEXT" of each box seen (code page 932)
    std::vector<std::string> titles;  // each text the library set on the host window (code page 932)
    // Called for WM_APP+4 with a window (a dialog or the folder browser opened).
    std::function<void(HWND opened, LPARAM tag)> onWindowOpened;
    bool keysFixed = false;           // answer KeyCallback from keyMask, not the keyboard
    DWORD keyMask = 0;
    std::vector<DWORD> keyLists;      // every key list KeyCallback was asked about
    DWORD boxWaitMs = 10000;          // how long to look for a box after its notice
};

// Sent to the host window: answers 1 when the host's thread reads key wParam
// as held (the high bit of GetAsyncKeyState), 0 otherwise. The library reads
// keys on that thread, so a script holding keys waits for this answer.
enum : UINT { HostKeyHeldQuery = WM_APP + 0x40 };

// Sent to the host window: calls the task wParam with lParam on the host's
// thread and answers its result. The library runs on that thread, so a check
// and an act made there are not parted by the library's own work: the task
// runs while the library waits in a message pump.
typedef LRESULT (*HostThreadTask)(LPARAM data);
enum : UINT { HostRunTask = WM_APP + 0x41 };

// Creates the host window and the context; the session becomes the current one
// that the callbacks and the window procedure serve. Returns false on failure.
bool OpenHostSession(HostSession& session);
void CloseHostSession(HostSession& session);

// The host's callbacks (modes 0, 2 and 4; key mask of the listed keys).
ULONG_PTR WINAPI HostPathCallback(char* path, int mode);
DWORD WINAPI HostKeyCallback(DWORD keyList, DWORD zero);

// Dispatches this thread's messages for up to ms milliseconds, or until done()
// returns true. Returns done()'s last answer.
bool PumpHostMessages(DWORD ms, const std::function<bool()>& done = nullptr);
