#include "Exports.h"

extern "C" ULONG_PTR WINAPI AsText(HostContext*, char**, DWORD*, HWND, void*, void*) {
    return 0;
}
