// A dialog's OK as the scripted user presses it, and the refusal the library
// may answer it with: the field the library selected, reported, and the
// dialog cancelled, so that a batch run never hangs.
#pragma once
#include <windows.h>
#include "ScriptRun.h"

// Called once before the script thread starts.
void StartFieldWatch();

// Watches the dialog's edit fields (those there now, and not yet watched):
// the selection the library gives each of them is what a refusal reports.
void WatchEditFields(HWND dialog);

// Clicks OK (id 1) and waits for the dialog to close. When it stays open the
// OK was refused: reports "refused: ID START-END" (the focused control and its
// selection) and cancels, so that a batch run never hangs. For stderr the
// refusal is kept as "refused: LABEL "TEXT"" (the control's label, or its id
// when it has none, and the selected text).
void PressOkOrReportRefusal(ScriptRun& run, HWND dialog);
// The second half of it, for an ending that asked for OK another way (a
// right-click): reports the refusal as above and cancels.
void ReportRefusalAndCancel(ScriptRun& run, HWND dialog);
