// LnCopy: copy or move the selection into a folder chosen in the folder browser.
#include "Exports.h"
#include "ModuleState.h"

// Not built yet: clears the state and reports "nothing done".
extern "C" ULONG_PTR WINAPI LnCopy(HostContext*, char**, int, HWND, PathCallback, KeyCallback) {
    ClearModuleState();
    return 0;
}
