#include "ModuleState.h"

// Records the module instance for every reason code; nothing else happens at load.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
    moduleState.moduleInstance = instance;
    return TRUE;
}
