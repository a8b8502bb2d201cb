// The scripted user of the reference host. The library's dialogs are modal on
// the host's thread, inside the export call; a second thread plays the person
// in front of them: it waits for each window the library announces (WM_APP+4),
// then acts on its controls as a user would (typing, clicking, dropping,
// holding keys), in the order the command line gives, and ends the dialog (OK
// unless another ending was asked for). Every wait has a time limit.
#pragma once
#include "HostKit.h"
#include "ScriptRun.h"

// Starts the script thread for this session; the session's window-opened
// notices feed it. StopScript waits for it (bounded) and closes whatever it
// left open; the run's lines are the host's once it returns.
void StartScript(HostSession& session, ScriptRun& run);
void StopScript(ScriptRun& run);
