// Commands that are not built yet: they clear the state and report "nothing done".
#include "Exports.h"
#include "ModuleState.h"

extern "C" ULONG_PTR WINAPI LnCopy(HostContext*, char**, int, HWND, PathCallback, KeyCallback) {
    ClearModuleState();
    return 0;
}

extern "C" ULONG_PTR WINAPI CgName(HostContext*, char**, int, HWND, PathCallback, KeyCallback) {
    ClearModuleState();
    return 0;
}

extern "C" ULONG_PTR WINAPI DtTime(HostContext*, char**, int, HWND, void*, KeyCallback) {
    ClearModuleState();
    return 0;
}
