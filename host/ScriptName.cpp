// The name dialog of CgName, as a user acts on it.
//   --name TEXT    replace the name field's text, typed character by character
//   --drop P[|P]   drop these paths on the dialog at once
//   --ok           click OK (the default ending; as an action it can follow --hold)
//   --rclick-ok    right-click OK
//   --cancel       click Cancel
// Before the dialog ends, "name:" reports the name field's text.
#include "DialogScripts.h"
#include "HostText.h"
#include "Input.h"
#include "Options.h"
#include "Refusal.h"
#include "ScriptLines.h"
#include "Screenshot.h"

namespace {

enum { IdNameField = 1005 };

bool RecogniseName(HWND window, LPARAM tag) { return tag == 0 && GetDlgItem(window, IdNameField); }

bool IsClosed(HWND dialog) { return !IsWindow(dialog) || !IsWindowVisible(dialog); }

void ReportNameField(ScriptRun& run, HWND dialog) {
    ReportLine(run, "name", WindowTextUtf8(GetDlgItem(dialog, IdNameField)));
}

// The drop is posted; it has been handled once the field's text changed, or
// after a short wait when the drop leaves the text as it was.
void DropOnDialog(HWND dialog, const std::wstring& list) {
    HWND field = GetDlgItem(dialog, IdNameField);
    std::string before = WindowTextUtf8(field);
    DropPaths(dialog, SplitPathList(list));
    WaitFor([field, &before] { return WindowTextUtf8(field) != before; }, 2000);
}

// Wine brings its key state in line with the X server's when window events
// arrive (the X server never saw the keys SendInput pressed), which can let a
// held key go between --hold and the click. Before an ending, the dialog's
// pending events are handled and any held key found released is pressed again.
void SettleHeldKeys(ScriptRun& run, HWND dialog) {
    for (int round = 0; round < 5 && !run.heldKeys.empty(); ++round) {
        SendToWindow(dialog, WM_NULL, 0, 0);
        Sleep(30);
        SendToWindow(dialog, WM_NULL, 0, 0);
        bool held = true;
        for (WORD key : run.heldKeys) held = held && (GetAsyncKeyState(key) & 0x8000) != 0;
        if (held) return;
        PressHeldKeys(run);
    }
}

bool PerformName(ScriptRun& run, HWND dialog, const ScriptAction& action) {
    if (action.name == L"--name") {
        HWND field = GetDlgItem(dialog, IdNameField);
        std::string name = WideToCodePage932(action.value);
        FocusControl(dialog, field);
        TypeText(field, name);
        SendToWindow(dialog, WM_NULL, 0, 0);
        std::string shown = WindowTextUtf8(field);
        if (shown != CodePage932ToUtf8(name)) NotDone(run, action, "the field reads " + shown);
        return false;
    }
    if (action.name == L"--drop") {
        DropOnDialog(dialog, action.value);
        return false;
    }
    ReportNameField(run, dialog);
    SettleHeldKeys(run, dialog);
    if (action.name == L"--ok") {
        PressOkOrReportRefusal(run, dialog);
    } else if (action.name == L"--rclick-ok") {
        RightClickControl(GetDlgItem(dialog, IDOK));
        if (!WaitFor([dialog] { return IsClosed(dialog); }, 3000)) ReportRefusalAndCancel(run, dialog);
    } else {
        ClickControl(GetDlgItem(dialog, IDCANCEL));
    }
    return true;
}

void FinishName(ScriptRun& run, HWND dialog) {
    ReportNameField(run, dialog);
    PressOkOrReportRefusal(run, dialog);
}

void CancelName(ScriptRun& run, HWND dialog) {
    ReportNameField(run, dialog);
    ClickControl(GetDlgItem(dialog, IDCANCEL));
}

}  // namespace

const DialogScript nameScript = {"name", RecogniseName, InName, PerformName, FinishName, CancelName};
