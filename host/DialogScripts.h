// The scripts of the library's dialogs, one file each. The script thread
// (Script.cpp) picks the one that recognises an announced window and plays it.
#pragma once
#include "ScriptRun.h"

extern const DialogScript browserScript;   // ScriptBrowser.cpp
extern const DialogScript progressScript;  // ScriptProgress.cpp
extern const DialogScript nameScript;      // ScriptName.cpp
extern const DialogScript timeScript;      // ScriptTime.cpp
