// The run: loads the library from the host's folder, calls the command's
// export with the context, the selection, the host window and its callbacks,
// with the scripted user playing the dialogs, hands the result on (clipboard,
// stdout, --raw, --report) and gives the exit status (ExitStatus.h).
#pragma once
#include "CommandLine.h"

int RunCommand(HostRun& run);
