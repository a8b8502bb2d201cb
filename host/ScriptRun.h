// The scripted user's run: the actions the command line asked for, what the
// script has seen so far, and the shape of one dialog's script. Types only:
// the script thread (Script.h), its lines (ScriptLines.h), its hands
// (Input.h) and the dialog scripts all work on these.
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
// how it acts. Each lives in its own file (ScriptBrowser.cpp, ...); the
// script thread calls them, they never call it.
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

enum : DWORD { ScriptWaitMs = 60000 };  // the longest any single wait lasts
