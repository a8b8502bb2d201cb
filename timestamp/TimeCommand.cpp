// DtTime: set the last-write or creation time of the selection.
#include "Exports.h"
#include "ModuleState.h"

// Not built yet: clears the state and reports "nothing done".
extern "C" ULONG_PTR WINAPI DtTime(HostContext*, char**, int, HWND, void*, KeyCallback) {
    ClearModuleState();
    return 0;
}
