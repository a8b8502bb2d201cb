// The progress window of LnCopy, as a user acts on it.
#include "Script.h"

namespace {

const wchar_t* const progressActions[] = {nullptr};

bool RecogniseProgress(HWND window, LPARAM tag) {
    return tag == 0 && GetDlgItem(window, 3) && GetDlgItem(window, 4);
}

bool PerformProgress(ScriptRun&, HWND, const ScriptAction&) { return false; }

// After the run the button reads "&OK"; a click on it closes the window.
void FinishProgress(ScriptRun& run, HWND dialog) {
    HWND button = GetDlgItem(dialog, IDCANCEL);
    WaitFor([button] { return WindowTextUtf8(button) == "&OK"; });
    TakeScreenshot(run, dialog, "progress", "close");
    ClickControl(button);
}

}  // namespace

const DialogScript progressScript = {"progress", RecogniseProgress, progressActions, PerformProgress, FinishProgress};
