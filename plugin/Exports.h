// The four exports. WINAPI, six 32-bit arguments each; see resources/Tavimore.def
// for names and ordinals.
#pragma once
#include "HostContext.h"

extern "C" {
ULONG_PTR WINAPI LnCopy(HostContext* context, char** selection, int count, HWND host,
                        PathCallback pathCallback, KeyCallback keyCallback);
ULONG_PTR WINAPI AsText(HostContext* context, char** selection, DWORD* format, HWND host,
                        void* unused5, void* unused6);
ULONG_PTR WINAPI CgName(HostContext* context, char** selection, int rename, HWND host,
                        PathCallback pathCallback, KeyCallback keyCallback);
ULONG_PTR WINAPI DtTime(HostContext* context, char** selection, int count, HWND host,
                        void* unused5, KeyCallback keyCallback);
}
