// CgName: rename the first selected item, or create a new empty file.
#include "Exports.h"
#include "ModuleState.h"

// Not built yet: clears the state and reports "nothing done".
extern "C" ULONG_PTR WINAPI CgName(HostContext*, char**, int, HWND, PathCallback, KeyCallback) {
    ClearModuleState();
    return 0;
}
