// Windows the shell opens by itself during a command (its question boxes in
// this process, Explorer windows of a new explorer.exe).
#pragma once
#include <windows.h>
#include "ScriptRun.h"

// Remembers the windows there before the command.
void NoteShellWindows();
// Reports each new one ("shell: TITLE | TEXT"), answers a question box with
// run.shellAnswer and closes an Explorer window. Returns how many it handled.
// The script thread watches while it waits and once more at its end.
int WatchShellWindows(ScriptRun& run);
