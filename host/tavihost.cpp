// tavihost.exe COMMAND [options] PATH...
//
// The reference host: loads Tavimore.dll from its own folder, calls one export by
// name with a fresh context record, the selection, its window and its callbacks,
// and then does what the host application does with the result: the returned
// text goes to the clipboard in the format the format word names, and for the
// person at the terminal also to stdout as UTF-8. Message boxes the library
// announces are read (and, with --batch, closed); --report writes what happened.
//
// Exit status: 0 when the export returned non-zero, 1 when it returned 0,
// 2 for a usage error (also an output file that cannot be made, found before
// the call), 3 when the library or its export cannot be loaded, 6 when the
// scripted user could not do what the command line asked (the dialog was
// cancelled), 7 when --limit ended the copy, 9 when the start mark that
// TAVIMORE_STARTED names cannot be written (nothing is done then).
#include <windows.h>
#include <shellapi.h>
#include <string>
#include <vector>
#include "CommandLine.h"
#include "ExitStatus.h"
#include "Outputs.h"
#include "Run.h"

namespace {

// The start mark. TAVIMORE_STARTED names a file that the driver made; the host
// writes "started" into it before it does anything, and "ended N" with its exit
// status as it returns. By it the driver tells a Wine that never started the
// host (no mark: safe to try again) from a host that ran and ended (the status)
// and from one that crashed or was killed while running (started, never ended).
// Returns the file's handle, or INVALID_HANDLE_VALUE when no mark was asked
// for or it cannot be written (said on stderr).
HANDLE OpenStartMark(bool* refused) {
    *refused = false;
    std::vector<wchar_t> path(32768);
    DWORD length = GetEnvironmentVariableW(L"TAVIMORE_STARTED", path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return INVALID_HANDLE_VALUE;
    // The long form (\\?\X:\... or \\?\UNC\server\...) has no 260-character
    // limit, so a deep temporary folder holds the mark as well as a short one.
    std::wstring full(path.data(), length < path.size() ? length : 0);
    if (full.compare(0, 4, L"\\\\?\\") != 0) {
        full = full.compare(0, 2, L"\\\\") == 0 ? L"\\\\?\\UNC\\" + full.substr(2) : L"\\\\?\\" + full;
    }
    HANDLE mark = CreateFileW(full.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (mark != INVALID_HANDLE_VALUE && WriteFile(mark, "started\n", 8, &written, nullptr) && written == 8 &&
        FlushFileBuffers(mark)) {
        return mark;
    }
    if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
    char line[80];
    wsprintfA(line, "tavihost: cannot write the start mark (error %lu); nothing done\n", GetLastError());
    WriteError(line);
    *refused = true;
    return INVALID_HANDLE_VALUE;
}

// The start mark's handle while the host runs, for the crash filter.
HANDLE startMark = INVALID_HANDLE_VALUE;

// Completes the start mark with the host's exit status, closes it, and returns
// that status.
int EndStartMark(int status) {
    if (startMark == INVALID_HANDLE_VALUE) return status;
    char line[24];
    int length = wsprintfA(line, "ended %d\n", status);
    DWORD written;
    WriteFile(startMark, line, static_cast<DWORD>(length), &written, nullptr);
    CloseHandle(startMark);
    startMark = INVALID_HANDLE_VALUE;
    return status;
}

// Last filter of an exception that nothing handled, in any thread: writes
// "crashed CODE" into the start mark, and points stdout at stderr so that Wine's
// debugger, which this process starts next and which writes its backtrace on
// the stdout it inherits, does not mix the backtrace into the command's output.
LONG WINAPI NoteCrash(EXCEPTION_POINTERS* exception) {
    if (startMark != INVALID_HANDLE_VALUE) {
        char line[32];
        int length = wsprintfA(line, "crashed 0x%08lx\n", exception->ExceptionRecord->ExceptionCode);
        DWORD written;
        WriteFile(startMark, line, static_cast<DWORD>(length), &written, nullptr);
    }
    SetStdHandle(STD_OUTPUT_HANDLE, GetStdHandle(STD_ERROR_HANDLE));
    return EXCEPTION_CONTINUE_SEARCH;
}

// TAVIMORE_TEST_FAULT=1 makes the host fail with an access violation once the
// command has run, as a crash of the host or the library would: the tests see
// by it how a crash ends a batch run. The library has no such switch.
void FaultIfAsked() {
    wchar_t value[4];
    if (GetEnvironmentVariableW(L"TAVIMORE_TEST_FAULT", value, 4) == 1 && value[0] == L'1') {
        RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    }
}

}  // namespace

int main() {
    bool refused;
    startMark = OpenStartMark(&refused);
    if (refused) return ExitEnvironment;
    SetUnhandledExceptionFilter(NoteCrash);
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args) return EndStartMark(UsageError("cannot read the command line"));
    HostRun run;
    int status = ParseCommandLine(count, args, run);
    LocalFree(args);
    if (status == ExitDone) status = RunCommand(run);
    FaultIfAsked();
    return EndStartMark(status);
}
