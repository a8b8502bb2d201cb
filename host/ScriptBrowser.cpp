// The folder browser of LnCopy, as a user acts on it.
#include "Script.h"
#include <stdio.h>
#include <string.h>

namespace {

enum {
    HistoryBoxId = 0x8110,
    ComboEditId = 1001,
    RefreshWaitMs = 5000,
};

const wchar_t* const browserActions[] = {L"--dest=", L"--toggle=", L"--cancel", nullptr};

bool RecogniseBrowser(HWND, LPARAM tag) { return tag == -57; }

HWND HistoryBox(HWND dialog) { return GetDlgItem(dialog, HistoryBoxId); }

// The browser's posted refreshes have run once a message sent after them is
// answered; pathBuffer shows the typed text once the last one ran.
void WaitForPath(ScriptRun& run, const std::string& text) {
    const char* path = run.session->context->pathBuffer;
    WaitFor([path, &text] { return strncmp(path, text.c_str(), HostBufferSize) == 0; }, RefreshWaitMs);
}

// Types the path into the history box's edit field, one character at a time,
// so that the box reports each change and the browser validates it.
void TypeDestination(ScriptRun& run, HWND dialog, const std::wstring& value) {
    HWND edit = GetDlgItem(HistoryBox(dialog), ComboEditId);
    if (!edit) {
        ReportLine(run, "script", "no history box");
        return;
    }
    FocusControl(dialog, edit);
    std::string text = WideToCodePage932(value);
    TypeText(edit, text);
    WaitForPath(run, text);
    SendToWindow(dialog, WM_NULL, 0, 0);
}

// Clicks each check box of a list of hex ids ("8112,8114").
void ToggleBoxes(ScriptRun& run, HWND dialog, const std::wstring& list) {
    for (const wchar_t* at = list.c_str(); *at;) {
        wchar_t* end = nullptr;
        unsigned long id = wcstoul(at, &end, 16);
        HWND box = end != at ? GetDlgItem(dialog, static_cast<int>(id)) : nullptr;
        if (box) ClickControl(box);
        else ReportLine(run, "script", "no check box " + WideToCodePage932(std::wstring(at, end != at ? end - at : 1)));
        at = end != at ? end : at + 1;
        if (*at == L',') ++at;
    }
}

// "checks: 8111=0 8112=1 ..." for the boxes present.
void ReportChecks(ScriptRun& run, HWND dialog) {
    static const int ids[] = {0x8111, 0x8112, 0x8114, 0x8118};
    std::string line;
    for (int id : ids) {
        HWND box = GetDlgItem(dialog, id);
        if (!box) continue;
        char item[32];
        snprintf(item, sizeof item, "%s%x=%d", line.empty() ? "" : " ", id,
                 static_cast<int>(SendToWindow(box, BM_GETCHECK, 0, 0)));
        line += item;
    }
    ReportLine(run, "checks", line);
}

bool PerformBrowser(ScriptRun& run, HWND dialog, const ScriptAction& action) {
    if (action.name == L"--cancel") {
        ClickControl(GetDlgItem(dialog, IDCANCEL));
        return true;
    }
    if (action.name == L"--dest") TypeDestination(run, dialog, action.value);
    else if (action.name == L"--toggle") ToggleBoxes(run, dialog, action.value);
    return false;
}

void FinishBrowser(ScriptRun& run, HWND dialog) {
    ReportChecks(run, dialog);
    PressOkOrReportRefusal(run, dialog);
}

}  // namespace

const DialogScript browserScript = {"browser", RecogniseBrowser, browserActions, PerformBrowser, FinishBrowser};
