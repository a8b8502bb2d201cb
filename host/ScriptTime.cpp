// The date-and-time dialog of DtTime, as a user acts on it.
#include "Script.h"

namespace {

const wchar_t* const timeActions[] = {nullptr};

bool RecogniseTime(HWND window, LPARAM tag) { return tag == 0 && GetDlgItem(window, 1010); }

bool PerformTime(ScriptRun&, HWND, const ScriptAction&) { return false; }

void FinishTime(ScriptRun& run, HWND dialog) { PressOkOrReportRefusal(run, dialog); }

}  // namespace

const DialogScript timeScript = {"time", RecogniseTime, timeActions, PerformTime, FinishTime};
