// Rooted-path check and folder creation, and the check of typed names.
#pragma once
#include "HostContext.h"

// Modes of EnsurePath.
enum EnsureMode {
    EnsureReport = -1,      // report that the whole path cannot be made; result null
    EnsureRootExists = 0,   // the root (X: or \\server\share) exists; path unchanged
    EnsureFolder = 1,       // make the path a folder, end it with "\"; result: its NUL
    EnsureParents = 2,      // make every folder before the last component; result: that component
};

// path is a writable buffer of bufferSize bytes (a 260-byte context field).
// Returns a position in path, or null on failure (see EnsureMode). A failed
// folder creation is reported in the standard message box and cuts the path at
// the failure. Never writes past path + bufferSize.
char* EnsurePath(char* path, int mode, size_t bufferSize = HostBufferSize);

// Checks the text of the control in slot (0: folder browser destination in
// pathBuffer, 3: the name field) for characters no file name may hold.
// Returns 1 when accepted, 0 when refused (focus and selection on the culprit).
int CheckName(int slot);
