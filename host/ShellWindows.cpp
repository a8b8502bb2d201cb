#include "ShellWindows.h"
#include "HostText.h"
#include "Input.h"
#include "PathText.h"
#include "ScriptLines.h"
#include <psapi.h>
#include <algorithm>
#include <string>
#include <vector>

namespace {

// The library's dialogs, told apart by a control each has: the browser's
// history box and tree, the progress window's list and status, the name
// field, the first time field, a message box's text.
enum { HistoryBoxId = 0x8110, TreeId = 14145 };

std::vector<HWND> knownWindows;  // top-level windows already seen (or handled)
FILETIME sessionStart;

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
    reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    return TRUE;
}

bool HasChild(HWND window, int id) { return GetDlgItem(window, id) != nullptr; }

// The library's own dialogs and boxes, which their scripts and the host
// handle, and whatever is not a dialog (menus, tips): not the shell's questions.
bool IsLibraryWindow(HWND window) {
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") != 0) return true;
    return HasChild(window, HistoryBoxId) || HasChild(window, TreeId) || (HasChild(window, 3) && HasChild(window, 4)) ||
           HasChild(window, 1005) || HasChild(window, 1010) || HasChild(window, 0xFFFF);
}

// True for a process started after the session whose program is explorer.exe.
bool IsNewExplorer(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process) return false;
    char image[MAX_PATH] = "";
    bool named = GetModuleFileNameExA(process, nullptr, image, sizeof image) && lstrcmpiA(FindNamePart(image), "explorer.exe") == 0;
    FILETIME created, exited, kernel, user;
    bool late = GetProcessTimes(process, &created, &exited, &kernel, &user) &&
                CompareFileTime(&created, &sessionStart) >= 0;
    CloseHandle(process);
    return named && late;
}

BOOL CALLBACK AppendStaticText(HWND child, LPARAM data) {
    char className[16] = "";
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0 && IsWindowVisible(child)) {
        std::string text = WindowTextUtf8(child);
        std::string& all = *reinterpret_cast<std::string*>(data);
        if (!text.empty()) all += (all.empty() ? "" : " ") + text;
    }
    return TRUE;
}

// Answers a question box of the shell in this process: the button of the
// --shift-answer, else the dialog's own command of that id.
void AnswerShellBox(ScriptRun& run, HWND window) {
    HWND button = GetDlgItem(window, run.shellAnswer);
    if (button && IsWindowEnabled(button)) ClickControl(button);
    else PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(run.shellAnswer), 0);
}

}  // namespace

void NoteShellWindows() {
    GetSystemTimeAsFileTime(&sessionStart);
    knownWindows.clear();
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&knownWindows));
    std::sort(knownWindows.begin(), knownWindows.end());
}

int WatchShellWindows(ScriptRun& run) {
    std::vector<HWND> now;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&now));
    int handled = 0;
    for (HWND window : now) {
        if (std::binary_search(knownWindows.begin(), knownWindows.end(), window)) continue;
        if (!IsWindowVisible(window)) continue;
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        bool ours = processId == GetCurrentProcessId();
        if (ours ? IsLibraryWindow(window) : !IsNewExplorer(processId)) continue;
        if (ours && run.session && window == run.session->window) continue;
        knownWindows.insert(std::upper_bound(knownWindows.begin(), knownWindows.end(), window), window);
        std::string text;
        // The shell's question box draws its text itself and keeps it in a property.
        const wchar_t* question = static_cast<const wchar_t*>(GetPropW(window, L"WINE_CONFIRM"));
        if (ours && question) text = CodePage932ToUtf8(WideToCodePage932(question));
        else EnumChildWindows(window, AppendStaticText, reinterpret_cast<LPARAM>(&text));
        ReportLine(run, "shell", WindowTextUtf8(window) + " | " + text);
        if (ours) {
            static const char* const answers[] = {"", "ok", "cancel", "abort", "retry", "ignore", "yes", "no"};
            int answer = run.shellAnswer;
            StderrLine(run, "shell: " + WindowTextUtf8(window) + " | " + text + " | answered " +
                                (answer >= 0 && answer < 8 ? answers[answer] : std::to_string(answer)));
            AnswerShellBox(run, window);
        }
        else PostMessageA(window, WM_CLOSE, 0, 0);
        ++handled;
    }
    return handled;
}

