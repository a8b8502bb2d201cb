#include "Run.h"
#include "ExitStatus.h"
#include "HostKit.h"
#include "HostText.h"
#include "Outputs.h"
#include "PathText.h"
#include "Script.h"
#include "ImportSeam.h"
#include <psapi.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

SIZE_T WorkingSet(bool peak) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return peak ? counters.PeakWorkingSetSize : counters.WorkingSetSize;
}

typedef ULONG_PTR(WINAPI* ExportFunction)(HostContext*, char**, ULONG_PTR, HWND, void*, void*);

// The library's beeps, "beep: 0xTYPE" each, in order: a beep is often all a
// user is told of something ignored. The library calls MessageBeep on the
// host's thread (its dialogs run there), so no lock is needed.
std::vector<std::string> beepLines;
typedef BOOL(WINAPI* BeepFunction)(UINT);
BeepFunction systemBeep = nullptr;

BOOL WINAPI HeardBeep(UINT type) {
    char line[32];
    snprintf(line, sizeof line, "beep: 0x%08X", type);
    beepLines.push_back(line);
    return systemBeep ? systemBeep(type) : TRUE;
}

// Places the block on the clipboard; the block then belongs to the system.
// Returns false when the clipboard did not take it (the caller frees it).
bool PlaceOnClipboard(HWND window, HGLOBAL block, DWORD format) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (OpenClipboard(window)) {
            EmptyClipboard();
            bool placed = SetClipboardData(format, block) != nullptr;
            CloseClipboard();
            return placed;
        }
        Sleep(20);
    }
    return false;
}

// Writes the returned text (to stdout, to the raw file) and hands the block to
// the clipboard. The library locked the block once and never unlocks it; the
// host owns it now and undoes that lock before the clipboard takes it.
bool DeliverText(const HostRun& run, HostSession& session, OutputFile& raw, HGLOBAL block, DWORD format,
                 CallOutcome& outcome) {
    SIZE_T size = GlobalSize(block);
    void* data = GlobalLock(block);
    if (!data || size == 0) {
        outcome.clipboard = "not a memory block";
        return false;
    }
    bool wide = format == CF_UNICODETEXT;
    size_t length = wide ? wcsnlen(static_cast<const wchar_t*>(data), size / 2) : strnlen(static_cast<char*>(data), size);
    bool written = true;
    if (!run.rawPath.empty()) {
        written = WriteOutputFile(raw, data, wide ? length * 2 : length);
        if (!written) WriteError(("tavihost: " + Given(L"--raw", run.rawPath.c_str()) +
                                  ": cannot be written; the command has run\n").c_str());
    }
    WriteTextToStdout(data, length, wide);
    if (run.command->kind == KindLnCopy) {
        // The log's lines end in CR LF but its last one, which gets one on stdout.
        WriteTextToStdout("\r\n", 2, false);
        outcome.exported = true;
        outcome.exportedBlock = size;
        outcome.exportedText = EscapeLine(CodePage932ToUtf8(std::string(static_cast<const char*>(data), length)));
    }
    while (GlobalUnlock(block)) {
    }
    if (PlaceOnClipboard(session.window, block, format)) {
        outcome.clipboard = std::to_string(format);
    } else {
        outcome.clipboard = "failed";
        GlobalFree(block);
    }
    return written;
}

// Shows every window the library announces; with --batch closes it again so
// that nothing waits for a person.
void WatchOpenedWindows(HostSession& session, CallOutcome& outcome, bool batch) {
    session.onWindowOpened = [&outcome, batch](HWND opened, LPARAM) {
        char title[260] = "";
        GetWindowTextA(opened, title, sizeof title);
        outcome.windows.push_back(EscapeLine(CodePage932ToUtf8(title)));
        if (batch) PostMessageA(opened, WM_COMMAND, IDCANCEL, 0);
    };
}

// Folder of this program, where Tavimore.dll is looked for.
std::string LibraryPath() {
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) return "Tavimore.dll";
    path[length] = 0;
    char* name = const_cast<char*>(FindNamePart(path));
    *name = 0;
    return std::string(path) + "Tavimore.dll";
}

int CallCommand(HostRun& run, OutputFile& raw, OutputFile& report) {
    HMODULE library = LoadLibraryA(LibraryPath().c_str());
    if (!library) {
        WriteError("tavihost: cannot load Tavimore.dll from the program's folder\n");
        return ExitNoLibrary;
    }
    systemBeep = reinterpret_cast<BeepFunction>(
        ReplaceImport(library, "user32.dll", "MessageBeep", reinterpret_cast<void*>(HeardBeep)));
    auto command = reinterpret_cast<ExportFunction>(GetProcAddress(library, run.command->exportName));
    if (!command) {
        WriteError("tavihost: the library has no such export\n");
        return ExitNoLibrary;
    }
    HostSession& session = run.session;
    if (!OpenHostSession(session)) {
        char line[120];
        wsprintfA(line, "tavihost: cannot create the host window (error %lu): no display it can use; nothing done\n",
                  GetLastError());
        WriteError(line);
        FreeLibrary(library);
        return ExitNoWindow;
    }
    CallOutcome outcome;
    session.closeBoxes = run.batch;
    if (run.batch) session.boxWaitMs = 120000;  // a box found late must still be closed
    session.keysFixed = run.keysGiven;
    session.keyMask = run.keys;
    bool scriptPlays = run.batch || !run.script.actions.empty();
    if (scriptPlays) StartScript(session, run.script);
    else WatchOpenedWindows(session, outcome, run.batch);
    if (!run.batch) ShowWindow(session.window, SW_SHOWNOACTIVATE);

    session.context->options = run.options;
    if (run.attributesGiven) {
        session.context->itemAttributes = run.attributes;
    } else if (run.paths.size() == 1) {
        DWORD attributes = GetFileAttributesA(run.paths[0].c_str());
        session.context->itemAttributes = attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes;
    }
    std::vector<std::vector<char>> pathStore;
    std::vector<char*> selection;
    for (const std::string& path : run.paths) {
        pathStore.emplace_back(path.begin(), path.end());
        pathStore.back().push_back('\0');
    }
    for (auto& path : pathStore) selection.push_back(path.data());
    selection.push_back(nullptr);

    DWORD format = run.format;
    ULONG_PTR third = 0;
    switch (run.command->kind) {
    case KindAsText: third = reinterpret_cast<ULONG_PTR>(&format); break;
    case KindCgName: third = run.create ? 0 : 1; break;
    case KindLnCopy:
    case KindDtTime: third = static_cast<ULONG_PTR>(run.paths.size()); break;
    }
    void* pathCallback = reinterpret_cast<void*>(HostPathCallback);
    void* keyCallback = reinterpret_cast<void*>(HostKeyCallback);

    LARGE_INTEGER frequency, before, after;
    QueryPerformanceFrequency(&frequency);
    outcome.baseBytes = WorkingSet(false);
    QueryPerformanceCounter(&before);
    outcome.result = command(session.context, selection.data(), third, session.window,
                             run.command->kind == KindAsText ? nullptr : pathCallback, keyCallback);
    QueryPerformanceCounter(&after);
    outcome.peakBytes = WorkingSet(true);
    outcome.elapsedMs = 1000.0 * static_cast<double>(after.QuadPart - before.QuadPart) /
                        static_cast<double>(frequency.QuadPart);
    PumpHostMessages(0);  // what the library posted last still reaches the host window
    // The script thread uses the session and the library's windows: both are
    // freed only once it has ended (below).
    run.scriptStillRunning = scriptPlays && !StopScript(run.script);
    if (!run.scriptStillRunning)
        for (const std::string& line : beepLines) run.script.reportLines.push_back(line);
    if (run.batch) WriteBatchLinesToStderr(session, run.script.stderrLines);
    for (const std::string& line : run.script.failures) WriteError(("tavihost: " + line + "\n").c_str());

    bool filesWritten = true;
    // AsText returns a block; LnCopy's result above 0x20 is a block of log text.
    bool isBlock = run.command->kind == KindAsText ? outcome.result != 0
                   : run.command->kind == KindLnCopy ? outcome.result > 0x20 : false;
    if (isBlock) {
        DWORD blockFormat = run.command->kind == KindAsText ? format : CF_TEXT;
        filesWritten = DeliverText(run, session, raw, reinterpret_cast<HGLOBAL>(outcome.result), blockFormat, outcome);
    }
    if (!run.reportPath.empty() && !WriteReport(session, run.script.reportLines, report, format, outcome)) {
        WriteError(("tavihost: " + Given(L"--report", run.reportPath.c_str()) +
                    ": cannot be written; the command has run\n").c_str());
        filesWritten = false;
    }
    if (!run.scriptStillRunning) {
        CloseHostSession(session);
        FreeLibrary(library);
    }
    if (run.script.limitReached) return ExitTimeLimit;
    if (run.script.notDone) return ExitNotDoneAsAsked;
    if (!filesWritten) return ExitOutputFailed;
    return outcome.result != 0 ? ExitDone : ExitNothingDone;
}

}  // namespace

int RunCommand(HostRun& run) {
    OutputFile raw, report;
    if (!OpenOutputFile(raw, run.rawPath)) return UsageError(Given(L"--raw", run.rawPath.c_str()) + ": cannot be made");
    if (!OpenOutputFile(report, run.reportPath)) {
        CloseOutputFile(raw);
        return UsageError(Given(L"--report", run.reportPath.c_str()) + ": cannot be made");
    }
    if (SameOutputFile(raw, report)) {
        CloseOutputFile(report);
        CloseOutputFile(raw);
        return UsageError(Given(L"--report", run.reportPath.c_str()) + ": the same file as --raw");
    }
    int status = CallCommand(run, raw, report);
    CloseOutputFile(raw);
    CloseOutputFile(report);
    return status;
}

