// The folder browser of LnCopy, as a user acts on it.
#include "Script.h"

namespace {

const wchar_t* const browserActions[] = {L"--cancel", nullptr};

bool RecogniseBrowser(HWND, LPARAM tag) { return tag == -57; }

bool PerformBrowser(ScriptRun&, HWND dialog, const ScriptAction& action) {
    if (action.name == L"--cancel") {
        ClickControl(GetDlgItem(dialog, IDCANCEL));
        return true;
    }
    return false;
}

void FinishBrowser(ScriptRun& run, HWND dialog) { PressOkOrReportRefusal(run, dialog); }

}  // namespace

const DialogScript browserScript = {"browser", RecogniseBrowser, browserActions, PerformBrowser, FinishBrowser};
