// The host's context record, handed to every export. Byte offsets and sizes are
// an interface shared with a separately built host and must not move.
#pragma once
#include <windows.h>
#include <stddef.h>

enum { HostBufferSize = 260, HostContextMinSize = 1376 };

struct HostContext {
    unsigned char hostOwn[8];          // 0: the host's own
    DWORD options;                     // 8
    DWORD itemAttributes;              // 12; bytes 14-15 are the log mark slot
    char pathBuffer[HostBufferSize];   // 16
    char workBuffer[HostBufferSize];   // 276
    char nameBuffer[HostBufferSize];   // 536
    char messageBuffer[HostBufferSize];// 796
    WIN32_FIND_DATAA findData;         // 1056
};

static_assert(offsetof(HostContext, options) == 8, "options offset");
static_assert(offsetof(HostContext, itemAttributes) == 12, "itemAttributes offset");
static_assert(offsetof(HostContext, pathBuffer) == 16, "pathBuffer offset");
static_assert(offsetof(HostContext, workBuffer) == 276, "workBuffer offset");
static_assert(offsetof(HostContext, nameBuffer) == 536, "nameBuffer offset");
static_assert(offsetof(HostContext, messageBuffer) == 796, "messageBuffer offset");
static_assert(offsetof(HostContext, findData) == 1056, "findData offset");
static_assert(sizeof(WIN32_FIND_DATAA) == 320, "WIN32_FIND_DATAA size");
static_assert(sizeof(HostContext) == HostContextMinSize, "HostContext size");

// Bits of HostContext::options that the library reads or toggles.
enum OptionBits : DWORD {
    OptionToggled     = 0x20,
    OptionFineTime    = 0x40,
    OptionNoNewRule   = 0x100,
    OptionToggleOnEnd = 0x1000,
};

// The two bytes in front of pathBuffer, where the copy engine writes a log mark
// so that mark and path read as one string.
inline char* MarkSlot(HostContext* context) {
    return reinterpret_cast<char*>(context) + 14;
}

// Host callbacks, both WINAPI with two 32-bit arguments.
// PathCallback modes: 0 cut the last component in place (result: new NUL),
// 2 the final name component (result: pointer into the string),
// 4 number of separators (result: count).
typedef ULONG_PTR(WINAPI* PathCallback)(char* path, int mode);
// KeyCallback: up to four virtual keys, lowest byte first; result: bit n set
// when the n-th listed key is held.
typedef DWORD(WINAPI* KeyCallback)(DWORD keyList, DWORD zero);

enum PathCallbackMode { PathCutLast = 0, PathNamePart = 2, PathSeparatorCount = 4 };

// Private window messages, always posted.
enum PrivateMessages : UINT {
    WM_APP_STARTCOPY = WM_APP + 1,  // progress dialog: start the run
    WM_APP_OPENED    = WM_APP + 4,  // host: a dialog or box is opening (wParam = window or 0)
    WM_APP_REFRESH   = WM_APP + 6,  // folder browser: refresh kind in wParam
};

// Key lists sent to KeyCallback.
enum KeyLists : DWORD {
    KeysBrowserReturned = 0x00FF1B0D,
    KeysBrowserReady    = 0x00FF0D43,
    KeysDialogOpened    = 0xFF0D4D54,
    KeysBrowserOk       = 0x001D111B,
};
