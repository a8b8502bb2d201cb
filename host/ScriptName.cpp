// The name dialog of CgName, as a user acts on it.
#include "Script.h"

namespace {

const wchar_t* const nameActions[] = {nullptr};

bool RecogniseName(HWND window, LPARAM tag) { return tag == 0 && GetDlgItem(window, 1005); }

bool PerformName(ScriptRun&, HWND, const ScriptAction&) { return false; }

void FinishName(ScriptRun& run, HWND dialog) { PressOkOrReportRefusal(run, dialog); }

}  // namespace

const DialogScript nameScript = {"name", RecogniseName, nameActions, PerformName, FinishName};
