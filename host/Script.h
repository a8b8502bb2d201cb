// The scripted user of the reference host. The library's dialogs are modal on
// the host's thread, inside the export call; a second thread plays the person
// in front of them: it waits for each window the library announces (WM_APP+4),
// then acts on its controls as a user would (typing, clicking, dropping,
// holding keys), in the order the command line gives, and ends the dialog (OK
// unless another ending was asked for). Every wait has a time limit.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "HostKit.h"

struct ScriptAction {
    std::wstring name;   // the option, "--dest"
    std::wstring value;  // its value, empty for a flag
};

struct ScriptRun {
    std::vector<ScriptAction> actions;    // in command-line order
    size_t next = 0;                      // the first action not yet taken
    std::wstring screenshotDir;           // --screenshot: BMP files written here
    int shellAnswer = IDCANCEL;           // --shell-answer for windows the shell opens
    int limitSeconds = 0;                 // --limit: the longest a copy may run (0: no limit)
    std::vector<std::string> reportLines; // UTF-8 "key: value", in the order seen
    std::vector<std::string> stderrLines; // UTF-8, for stderr in a batch run: refusals, a run's final status
    std::vector<std::string> failures;    // UTF-8, for stderr in every run: what was not done as asked
    bool notDone = false;                 // an action was not taken, or a field did not read as typed
    bool limitReached = false;            // --limit ended the copy
    std::vector<WORD> heldKeys;           // --hold: keys held during the next action
    HostSession* session = nullptr;
    int screenshotCount = 0;
};

// One dialog kind's script: which window it is, which actions it takes, and
// how it acts. Each lives in its own file (ScriptBrowser.cpp, ...).
struct DialogScript {
    const char* kind;  // "browser", "progress", "name", "time"
    // True when opened (announced with tag) is this kind of window.
    bool (*recognise)(HWND opened, LPARAM tag);
    // Which dialog of the option table it is (In* bits, Options.h): the
    // actions it takes are the table's rows for it.
    unsigned dialog;
    // Takes one action; returns true when the action ended the dialog. An
    // action that cannot be taken calls NotDone and returns.
    bool (*perform)(ScriptRun& run, HWND dialog, const ScriptAction& action);
    // Ends the dialog when no action did (OK, or the button after a run).
    void (*finish)(ScriptRun& run, HWND dialog);
    // Ends the dialog without its work after NotDone: Cancel, or for the
    // progress window the copy cancelled and its "&OK" clicked.
    void (*cancel)(ScriptRun& run, HWND dialog);
};

extern const DialogScript browserScript;
extern const DialogScript progressScript;
extern const DialogScript nameScript;
extern const DialogScript timeScript;

// Starts the script thread for this session; the session's window-opened
// notices feed it. StopScript waits for it (bounded) and closes whatever it
// left open.
void StartScript(HostSession& session, ScriptRun& run);
void StopScript(ScriptRun& run);

// Windows the shell opens by itself during a command (its question boxes in
// this process, Explorer windows of a new explorer.exe): NoteShellWindows
// remembers the windows there before the command; WatchShellWindows reports
// each new one ("shell: TITLE | TEXT"), answers a question box with
// run.shellAnswer and closes an Explorer window. Returns how many it handled.
// The script thread watches while it waits and once more at its end.
void NoteShellWindows();
int WatchShellWindows(ScriptRun& run);

// --- what every dialog script uses ---------------------------------------

enum : DWORD { ScriptWaitMs = 60000 };  // the longest any single wait lasts

// Adds a "key: value" line to the report (value in UTF-8, kept on one line).
// The lines are the host's once StopScript has returned: a script thread
// still running after the stop limit adds nothing more.
void ReportLine(ScriptRun& run, const char* key, const std::string& utf8Value);
// Adds a line for stderr in a batch run (the same hand-over).
void StderrLine(ScriptRun& run, const std::string& utf8);
// The action could not be taken as asked: says why (stderr in every run, and
// the report's "script:" line) and marks the run not done; the dialog that
// took it is then cancelled and no further action is taken.
void NotDone(ScriptRun& run, const ScriptAction& action, const std::string& why);
// Adds a line for stderr in every run (what was not done as asked, a limit).
void FailureLine(ScriptRun& run, const std::string& utf8);
// The action's option and value as typed, in UTF-8 ("--toggle 8118").
std::string ActionText(const ScriptAction& action);
std::string WindowTextUtf8(HWND window);
std::string WideToUtf8(const std::wstring& text);
std::string CodePage932ToUtf8(const std::string& text);
std::string WideToCodePage932(const std::wstring& text);

// Polls condition every 10 ms for up to ms; returns its last answer.
template <typename Condition>
bool WaitFor(Condition condition, DWORD ms = ScriptWaitMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= ms) return condition();
        Sleep(10);
    }
}

// Sends a message to a window of the host's thread, waiting at most
// ScriptWaitMs for it to be handled. Returns the result (0 after a time-out).
LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Waits until the host's thread has handled what was posted to it so far, as
// a person's pause would: a mark (edit's modified flag) posted behind it is
// seen handled, rounds times over, since handled work may post more. edit is
// any edit control of the dialog; its modified flag is left set.
void SettlePosted(HWND edit, int rounds);

// Presses (down then up) the held keys of --hold around the next action.
void PressHeldKeys(ScriptRun& run);
void ReleaseHeldKeys(ScriptRun& run);
void TapKey(WORD key);
// One real key-down or key-up (SendInput), seen by every window of the display.
void SendKey(WORD key, bool up);

// A click on a button control: the button's own mouse messages, so the
// dialog sees BN_CLICKED as from the mouse.
void ClickControl(HWND control);
// A right-click: button-down and button-up on the control, whose default
// handling raises WM_CONTEXTMENU at the control's centre.
void RightClickControl(HWND control);
// Gives field the keyboard focus the way its dialog would (WM_NEXTDLGCTL).
void FocusControl(HWND dialog, HWND field);
// Types code page 932 text into an edit control one character at a time
// (WM_CHAR; a double-byte character as its two bytes), replacing the selection.
void TypeText(HWND edit, const std::string& text);
// Drops paths (code page 932) on window as the shell does for a window that
// accepts files: one WM_DROPFILES with a shell drop block. DropHandled returns
// only once the window has handled it (so a key held for the action is still
// down then); DropPosted returns at once.
enum DropDelivery { DropPosted, DropHandled };
void DropPaths(HWND window, const std::vector<std::string>& paths, DropDelivery delivery = DropPosted);
// Splits "a|b|c" into paths converted to code page 932.
std::vector<std::string> SplitPathList(const std::wstring& list);

// Writes window's current picture as DIR/NN-kind-moment.bmp (./tavimore turns
// it into PNG) when --screenshot was given.
void TakeScreenshot(ScriptRun& run, HWND window, const char* kind, const char* moment);

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
