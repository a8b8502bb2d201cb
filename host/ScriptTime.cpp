// The date-and-time dialog of DtTime, as a user acts on it.
#include "DialogScripts.h"
#include "HostText.h"
#include "Input.h"
#include "Options.h"
#include "Refusal.h"
#include "ScriptLines.h"
#include "Screenshot.h"
#include <shellapi.h>
#include <string.h>

namespace {

// The time fields in the order a user types them: year, month, day, hour,
// minute, second, millisecond.
const int fieldIds[] = {1010, 1011, 1013, 1014, 1015, 1016, 1017};
enum { FieldCount = 7, IdLastWrite = 1018, IdCreation = 1019, IdInside = 1020, IdNow = 1021 };
enum { SettleRounds = 2 };  // the focus change posts a select-all, which posts nothing more

bool RecogniseTime(HWND window, LPARAM tag) { return tag == 0 && GetDlgItem(window, 1010); }

// "fields: Y M D h m s ms", "-" for an empty field.
void ReportFields(ScriptRun& run, HWND dialog) {
    std::string line;
    for (int id : fieldIds) {
        std::string text = WindowTextUtf8(GetDlgItem(dialog, id));
        line += (line.empty() ? "" : " ") + (text.empty() ? std::string("-") : text);
    }
    ReportLine(run, "fields", line);
}

// "focus: ID START-END": the control that has the focus and its selection.
void ReportFocus(ScriptRun& run, HWND dialog) {
    SettlePosted(GetDlgItem(dialog, fieldIds[0]), SettleRounds);  // a selection the dialog posted is in place
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    DWORD start = 0, end = 0;
    if (info.hwndFocus)
        SendToWindow(info.hwndFocus, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    char line[64];
    wsprintfA(line, "%d %lu-%lu", info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0, start, end);
    ReportLine(run, "focus", line);
}

// --time "Y M D h m s ms": each field gets the focus, then its characters one
// by one, so that the dialog's own moving on runs; "_" empties the field.
// Fewer than seven values type the first fields only. Reports where the focus
// is afterwards; each typed field must then read its value.
void TypeTime(ScriptRun& run, HWND dialog, const ScriptAction& action) {
    std::string text = WideToCodePage932(action.value);
    std::vector<std::string> parts;
    for (size_t start = 0; start <= text.size();) {
        size_t space = text.find(' ', start);
        if (space == std::string::npos) space = text.size();
        if (space > start) parts.push_back(text.substr(start, space - start));
        start = space + 1;
    }
    if (parts.size() > FieldCount) parts.resize(FieldCount);  // the option table allows no more
    for (size_t i = 0; i < parts.size(); ++i) {
        HWND field = GetDlgItem(dialog, fieldIds[i]);
        // Like a person, type only once the field has taken the focus whole:
        // the select-all the dialog posts on gaining it comes before the keys.
        FocusControl(dialog, field);
        SettlePosted(field, SettleRounds);
        TypeText(field, parts[i] == "_" ? std::string() : parts[i]);
    }
    ReportFocus(run, dialog);
    for (size_t i = 0; i < parts.size(); ++i) {
        std::string shown = WindowTextUtf8(GetDlgItem(dialog, fieldIds[i]));
        if (shown != (parts[i] == "_" ? std::string() : parts[i])) {
            NotDone(run, action, "field " + std::to_string(fieldIds[i]) + " reads \"" + shown + "\"");
            return;
        }
    }
}

bool PerformTime(ScriptRun& run, HWND dialog, const ScriptAction& action) {
    if (action.name == L"--time") {
        TypeTime(run, dialog, action);
    } else if (action.name == L"--creation" || action.name == L"--last-write") {
        ClickControl(GetDlgItem(dialog, action.name == L"--creation" ? IdCreation : IdLastWrite));
    } else if (action.name == L"--inside") {
        HWND box = GetDlgItem(dialog, IdInside);
        if (IsWindowVisible(box)) ClickControl(box);
        else NotDone(run, action, "the dialog does not show the box");
    } else if (action.name == L"--now") {
        ClickControl(GetDlgItem(dialog, IdNow));
    } else if (action.name == L"--zero-clock") {
        RightClickControl(GetDlgItem(dialog, IdNow));
    } else if (action.name == L"--drop") {
        DropPaths(dialog, SplitPathList(action.value), DropHandled);
    } else if (action.name == L"--rclick-ok") {
        ReportFields(run, dialog);
        TakeScreenshot(run, dialog, "time", "close");
        RightClickControl(GetDlgItem(dialog, IDOK));
        // A refused OK leaves the dialog open: the plain OK then reports it.
        if (!WaitFor([dialog] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 3000))
            PressOkOrReportRefusal(run, dialog);
        return true;
    } else if (action.name == L"--cancel") {
        ReportFields(run, dialog);
        ClickControl(GetDlgItem(dialog, IDCANCEL));
        return true;
    }
    return false;
}

void FinishTime(ScriptRun& run, HWND dialog) {
    ReportFields(run, dialog);
    PressOkOrReportRefusal(run, dialog);
}

void CancelTime(ScriptRun& run, HWND dialog) {
    ReportFields(run, dialog);
    ClickControl(GetDlgItem(dialog, IDCANCEL));
}

}  // namespace

const DialogScript timeScript = {"time", RecogniseTime, InTime, PerformTime, FinishTime, CancelTime};
