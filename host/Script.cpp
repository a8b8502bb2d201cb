#include "Script.h"
#include "DialogScripts.h"
#include "Input.h"
#include "Options.h"
#include "Refusal.h"
#include "ScriptLines.h"
#include "Screenshot.h"
#include "ShellWindows.h"
#include <string.h>
#include <string>
#include <vector>

namespace {

const DialogScript* const dialogScripts[] = {&browserScript, &progressScript, &nameScript, &timeScript};

// Windows the library announced, handed from the host's thread to the script's.
struct OpenedQueue {
    CRITICAL_SECTION lock;
    HANDLE signal = nullptr;
    std::vector<std::pair<HWND, LPARAM>> windows;
};

OpenedQueue queue;
HANDLE scriptThread = nullptr;
volatile LONG stopping = 0;
ScriptRun* watchedRun = nullptr;  // whose report takes the shell's own windows

bool TakeOpened(HWND* window, LPARAM* tag, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        EnterCriticalSection(&queue.lock);
        bool found = !queue.windows.empty();
        if (found) {
            *window = queue.windows.front().first;
            *tag = queue.windows.front().second;
            queue.windows.erase(queue.windows.begin());
        }
        LeaveCriticalSection(&queue.lock);
        if (found) return true;
        if (stopping || GetTickCount() - start >= ms) return false;
        if (watchedRun) WatchShellWindows(*watchedRun);
        WaitForSingleObject(queue.signal, 50);
    }
}

// True when script's dialog takes the action (the option table says so).
bool Takes(const DialogScript& script, const std::wstring& name) {
    const OptionSpec* found = FindOption(name.c_str());
    return found && (found->dialogs & script.dialog) != 0;
}

const DialogScript* Recognise(HWND window, LPARAM tag) {
    for (const DialogScript* script : dialogScripts)
        if (script->recognise(window, tag)) return script;
    return nullptr;
}

// Plays one dialog: its actions in order, then its ending unless an action
// ended it. An action that could not be taken cancels the dialog; so does a
// dialog that opens after one was not taken.
void PlayDialog(ScriptRun& run, const DialogScript& script, HWND dialog) {
    WaitFor([dialog] { return IsWindowVisible(dialog) != FALSE || !IsWindow(dialog); }, ScriptWaitMs);
    ReportLine(run, "title", WindowTextUtf8(dialog));
    SendToWindow(dialog, WM_NULL, 0, 0);  // its first paint has been handled once this returns
    WatchEditFields(dialog);
    TakeScreenshot(run, dialog, script.kind, "open");
    bool ended = false;
    while (!ended && !run.notDone && !run.limitReached && run.next < run.actions.size()) {
        const ScriptAction& action = run.actions[run.next];
        if (action.name == L"--hold") {
            ++run.next;
            for (const wchar_t* key = action.value.c_str(); *key;) {
                const wchar_t* comma = wcschr(key, L',');
                std::wstring name(key, comma ? comma - key : wcslen(key));
                if (name == L"CTRL") run.heldKeys.push_back(VK_CONTROL);
                else if (name == L"SHIFT") run.heldKeys.push_back(VK_SHIFT);
                else if (name == L"NONCONVERT") run.heldKeys.push_back(VK_NONCONVERT);
                key = comma ? comma + 1 : key + name.size();
            }
            continue;
        }
        if (!Takes(script, action.name)) break;
        ++run.next;
        PressHeldKeys(run);
        ended = script.perform(run, dialog, action);
        ReleaseHeldKeys(run);
    }
    if ((run.notDone || run.limitReached) && !ended && IsWindow(dialog)) {
        ReleaseHeldKeys(run);
        script.cancel(run, dialog);
    } else if (!ended && IsWindow(dialog)) {
        // A --hold given last holds its keys at the ending ("--hold CTRL" at OK).
        PressHeldKeys(run);
        script.finish(run, dialog);
        ReleaseHeldKeys(run);
    }
    WaitFor([dialog] { return !IsWindow(dialog); }, ScriptWaitMs);
}

DWORD WINAPI ScriptThread(void* data) {
    ScriptRun& run = *static_cast<ScriptRun*>(data);
    HWND window;
    LPARAM tag;
    while (TakeOpened(&window, &tag, INFINITE)) {
        const DialogScript* script = Recognise(window, tag);
        if (script) PlayDialog(run, *script, window);
    }
    WatchShellWindows(run);
    // An action that no dialog took was not done: the first one says so.
    for (; run.next < run.actions.size(); ++run.next) {
        const ScriptAction& action = run.actions[run.next];
        if (!run.notDone && !run.limitReached) NotDone(run, action, "no dialog of the command was there to take it");
        else ReportLine(run, "script", "not taken: " + ActionText(action));
    }
    return 0;
}

}  // namespace

void StartScript(HostSession& session, ScriptRun& run) {
    run.session = &session;
    watchedRun = &run;
    NoteShellWindows();
    InitializeCriticalSection(&queue.lock);
    StartScriptLines();
    StartFieldWatch();
    queue.signal = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    session.onWindowOpened = [](HWND opened, LPARAM tag) {
        EnterCriticalSection(&queue.lock);
        queue.windows.push_back(std::make_pair(opened, tag));
        LeaveCriticalSection(&queue.lock);
        SetEvent(queue.signal);
    };
    scriptThread = CreateThread(nullptr, 0, ScriptThread, &run, 0, nullptr);
}

void StopScript(ScriptRun& run) {
    if (!scriptThread) return;
    InterlockedExchange(&stopping, 1);
    SetEvent(queue.signal);
    // The host's thread keeps serving the script's sends while it winds down.
    DWORD start = GetTickCount();
    while (WaitForSingleObject(scriptThread, 0) == WAIT_TIMEOUT && GetTickCount() - start < ScriptWaitMs)
        PumpHostMessages(20);
    bool ended = WaitForSingleObject(scriptThread, 0) == WAIT_OBJECT_0;
    // From here on the lines are the host's; a thread still running adds none.
    HandOverScriptLines();
    if (!ended) {
        std::string why = "the scripted user had not ended " + std::to_string(ScriptWaitMs / 1000) +
                          " s after the command returned";
        run.reportLines.push_back("script: " + why);
        run.failures.push_back(why);
        run.notDone = true;
    }
    CloseHandle(scriptThread);
    scriptThread = nullptr;
    if (ended) ReleaseHeldKeys(run);
}

