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
#include <psapi.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>
#include "HostKit.h"
#include "PathText.h"
#include "Options.h"
#include "Script.h"

namespace {

enum ExitCode {
    ExitDone = 0,
    ExitNothingDone = 1,
    ExitUsage = 2,
    ExitNoLibrary = 3,
    ExitNotDoneAsAsked = 6,
    ExitTimeLimit = 7,
    // 8, a crash, is the driver's reading of a start mark that never ended.
    ExitEnvironment = 9,  // the start mark could not be written: nothing done
};

// How an export's third argument and result are treated.
enum CommandKind { KindLnCopy, KindAsText, KindCgName, KindDtTime };

struct CommandRule {
    const wchar_t* name;
    const char* exportName;
    CommandKind kind;
};

const CommandRule commandRules[] = {
    {L"LnCopy", "LnCopy", KindLnCopy},
    {L"AsText", "AsText", KindAsText},
    {L"CgName", "CgName", KindCgName},
    {L"DtTime", "DtTime", KindDtTime},
};

struct HostRun {
    const CommandRule* command = nullptr;
    DWORD options = 0;
    DWORD format = CF_TEXT;
    bool batch = false;
    bool keysGiven = false;
    DWORD keys = 0;
    bool create = false;               // CgName: make a new file instead of renaming
    bool attributesGiven = false;      // --attributes: itemAttributes as given
    DWORD attributes = 0;
    ScriptRun script;                  // the scripted user's actions and settings
    std::wstring rawPath;
    std::wstring reportPath;
    std::vector<std::string> paths;    // the selection, code page 932
};

// Takes a host setting's value (already checked against its kind) into run.
void ApplySetting(HostRun& run, const std::wstring& name, const wchar_t* value) {
    if (name == L"--options") ParseNumber(value, 16, &run.options);
    else if (name == L"--format") ParseNumber(value, 10, &run.format);
    else if (name == L"--keys") run.keysGiven = ParseNumber(value, 10, &run.keys);
    else if (name == L"--raw") run.rawPath = value;
    else if (name == L"--report") run.reportPath = value;
    else if (name == L"--batch") run.batch = true;
    else if (name == L"--create") run.create = true;
    else if (name == L"--attributes") run.attributesGiven = ParseNumber(value, 16, &run.attributes);
    else if (name == L"--screenshot") run.script.screenshotDir = value;
    else if (name == L"--limit") run.script.limitSeconds = _wtoi(value);
    else if (name == L"--shell-answer")
        run.script.shellAnswer = lstrcmpW(value, L"yes") == 0 ? IDYES : lstrcmpW(value, L"no") == 0 ? IDNO : IDCANCEL;
}

void WriteError(const char* text) {
    DWORD written;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, static_cast<DWORD>(strlen(text)), &written, nullptr);
}

int UsageError(const std::string& what) {
    WriteError(("tavihost: " + what + "\n").c_str());
    WriteError(UsageText().c_str());
    return ExitUsage;
}

// "--pick abc" for a usage error: the option as given and its value, in UTF-8.
std::string Given(const wchar_t* option, const wchar_t* value) {
    return WideToUtf8(value ? std::wstring(option) + L" " + value : std::wstring(option));
}

// Code page 932 form of a path taken from the command line; refuses a path that
// has characters code page 932 cannot hold (a best-fit substitute could name
// another file) or that is longer than the 259 bytes the library accepts.
// The test is a round trip: the bytes must read back as the same characters.
bool PathToCodePage932(const wchar_t* path, std::string* out) {
    int bytes = WideCharToMultiByte(932, 0, path, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0 || bytes > HostBufferSize) return false;
    out->assign(bytes, '\0');
    WideCharToMultiByte(932, 0, path, -1, &(*out)[0], bytes, nullptr, nullptr);
    int units = MultiByteToWideChar(932, 0, out->c_str(), bytes, nullptr, 0);
    std::wstring back(units > 0 ? units : 0, L'\0');
    if (units <= 0 || MultiByteToWideChar(932, 0, out->c_str(), bytes, &back[0], units) != units) return false;
    if (lstrcmpW(back.c_str(), path) != 0) return false;
    out->resize(bytes - 1);
    return true;
}

// The dialogs a command opens, as In* bits (in the order it opens them).
unsigned DialogsOf(CommandKind kind) {
    switch (kind) {
    case KindLnCopy: return InBrowser | InProgress;
    case KindCgName: return InName;
    case KindDtTime: return InTime;
    case KindAsText: break;
    }
    return 0;
}

// Reads the command line into run, checking every option against the option
// table: known, taken by this command, its value of the right kind, and the
// dialog actions in an order the dialogs can take them (each dialog's actions
// before the next dialog's, none after its ending). Returns ExitDone or the
// usage error's code, having said which option and value are wrong.
int ParseCommandLine(int count, wchar_t** args, HostRun& run) {
    if (count < 2) return UsageError("no command");
    for (const CommandRule& rule : commandRules)
        if (lstrcmpW(args[1], rule.name) == 0) run.command = &rule;
    if (!run.command) return UsageError("unknown command");
    unsigned commandBit = 1u << run.command->kind;
    unsigned dialogs = DialogsOf(run.command->kind);
    unsigned atDialog = dialogs & (0u - dialogs);  // the first dialog still open to actions
    const wchar_t* lastEnding = nullptr;
    bool optionsEnded = false;
    for (int i = 2; i < count; ++i) {
        const wchar_t* arg = args[i];
        if (!optionsEnded && lstrcmpW(arg, L"--") == 0) {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || arg[0] != L'-' || arg[1] != L'-') {
            std::string path;
            if (!PathToCodePage932(arg, &path))
                return UsageError("a path is longer than 259 bytes or has characters outside code page 932");
            run.paths.push_back(path);
            continue;
        }
        const OptionSpec* found = FindOption(arg);
        if (!found) return UsageError(Given(arg, nullptr) + ": unknown option");
        if (!(found->commands & commandBit))
            return UsageError(Given(arg, found->kind != ValueNone && i + 1 < count ? args[i + 1] : nullptr) +
                              ": not an option of " + run.command->exportName);
        const wchar_t* value = L"";
        if (found->kind != ValueNone) {
            if (i + 1 >= count) return UsageError(Given(arg, nullptr) + ": option without its value");
            value = args[++i];
            if (const char* problem = ValueProblem(*found, value))
                return UsageError(Given(arg, value) + ": " + problem);
        }
        if (!found->dialogs) {
            ApplySetting(run, arg, value);
            continue;
        }
        // The first dialog, from the one now open on, that takes the action.
        unsigned takers = found->dialogs & dialogs & ~(atDialog - 1);
        if (!takers)
            return UsageError(Given(arg, found->kind != ValueNone ? value : nullptr) + ": comes after " +
                              (lastEnding ? Given(lastEnding, nullptr) + ", which ends its dialog"
                                          : std::string("an action of a later dialog")));
        if (found->name != std::wstring(L"--hold")) {
            atDialog = takers & (0u - takers);
            if (found->endsDialog) {
                atDialog <<= 1;
                lastEnding = found->name;
            }
        }
        run.script.actions.push_back(ScriptAction{arg, value});
    }
    if (run.paths.empty()) return UsageError("no path");
    return ExitDone;
}

// --- output -----------------------------------------------------------------

bool WriteAll(HANDLE file, const void* data, size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        DWORD piece = size > 0x100000 ? 0x100000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, bytes, piece, &written, nullptr) || written == 0) return false;
        bytes += written;
        size -= written;
    }
    return true;
}

// Appends the UTF-8 form of UTF-16 units to out. A unit of a broken surrogate
// pair becomes U+FFFD, as the system's converter makes it.
void AppendUtf8(const wchar_t* units, size_t count, std::string& out) {
    size_t at = out.size();
    out.resize(at + count * 3);  // no unit needs more than 3 bytes, a pair 4
    unsigned char* o = reinterpret_cast<unsigned char*>(&out[0]) + at;
    for (size_t i = 0; i < count; ++i) {
        unsigned c = units[i];
        if (c < 0x80) {
            *o++ = static_cast<unsigned char>(c);
            continue;
        }
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
            *o++ = static_cast<unsigned char>(0xF0 | (c >> 18));
            *o++ = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
        } else {
            if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
            if (c < 0x800) {
                *o++ = static_cast<unsigned char>(0xC0 | (c >> 6));
                *o++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
                continue;
            }
            *o++ = static_cast<unsigned char>(0xE0 | (c >> 12));
        }
        *o++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
        *o++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    }
    out.resize(o - reinterpret_cast<unsigned char*>(&out[0]));
}

// Appends the UTF-8 form of code page 932 bytes to out. Bytes below 0x80 are
// the same characters in both; the runs between them go through the system's
// converter, cut only between characters (the double-byte rule).
void AppendCodePage932AsUtf8(const unsigned char* bytes, size_t count, std::string& out, std::wstring& scratch) {
    size_t i = 0;
    while (i < count) {
        size_t start = i;
        while (i < count && bytes[i] < 0x80) ++i;
        out.append(reinterpret_cast<const char*>(bytes + start), i - start);
        start = i;
        while (i < count && bytes[i] >= 0x80) i += IsLeadByte(bytes[i]) && i + 1 < count ? 2 : 1;
        if (i == start) continue;
        int length = static_cast<int>(i - start);
        int units = MultiByteToWideChar(932, 0, reinterpret_cast<const char*>(bytes + start), length, nullptr, 0);
        if (units <= 0) continue;
        scratch.resize(units);
        MultiByteToWideChar(932, 0, reinterpret_cast<const char*>(bytes + start), length, &scratch[0], units);
        AppendUtf8(scratch.data(), units, out);
    }
}

// Writes the text to stdout as UTF-8, a piece at a time so that the host needs
// little memory beyond the block. Pieces end between characters: never inside
// a double-byte character of code page 932 nor inside a surrogate pair. On a
// console the text goes out as UTF-16 through WriteConsoleW instead.
void WriteTextToStdout(const void* text, size_t length, bool wide) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode;
    bool console = GetConsoleMode(out, &mode) != 0;
    const size_t piece = 1 << 20;
    std::string utf8;
    std::wstring scratch;
    size_t start = 0;
    while (start < length) {
        size_t end = start + piece < length ? start + piece : length;
        utf8.clear();
        if (wide) {
            const wchar_t* all = static_cast<const wchar_t*>(text);
            if (end < length && all[end - 1] >= 0xD800 && all[end - 1] <= 0xDBFF) --end;
            if (console) {
                DWORD written;
                WriteConsoleW(out, all + start, static_cast<DWORD>(end - start), &written, nullptr);
            } else {
                AppendUtf8(all + start, end - start, utf8);
            }
        } else {
            const unsigned char* all = static_cast<const unsigned char*>(text);
            size_t at = start;
            while (at < end) at += IsLeadByte(all[at]) && at + 1 < length ? 2 : 1;
            end = at;
            AppendCodePage932AsUtf8(all + start, end - start, utf8, scratch);
            if (console) {
                int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
                scratch.resize(units > 0 ? units : 0);
                if (units > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &scratch[0], units);
                DWORD written;
                WriteConsoleW(out, scratch.data(), static_cast<DWORD>(scratch.size()), &written, nullptr);
                utf8.clear();
            }
        }
        if (!utf8.empty() && !WriteAll(out, utf8.data(), utf8.size())) return;
        start = end;
    }
}

// A file of --raw or --report, opened before the call so that one that
// cannot be made stops the run before anything was done. Its content is
// replaced only when it is written; a file it made and never wrote is removed.
struct OutputFile {
    std::wstring path;
    HANDLE handle = INVALID_HANDLE_VALUE;
    bool made = false;  // it did not exist before
};

bool OpenOutputFile(OutputFile& file, const std::wstring& path) {
    file.path = path;
    if (path.empty()) return true;
    file.handle = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    file.made = GetLastError() != ERROR_ALREADY_EXISTS;
    return file.handle != INVALID_HANDLE_VALUE;
}

// Replaces the file's content with size bytes of data.
bool WriteOutputFile(OutputFile& file, const void* data, size_t size) {
    if (file.handle == INVALID_HANDLE_VALUE) return false;
    bool written = SetFilePointer(file.handle, 0, nullptr, FILE_BEGIN) == 0 && WriteAll(file.handle, data, size) &&
                   SetEndOfFile(file.handle);
    CloseHandle(file.handle);
    file.handle = INVALID_HANDLE_VALUE;
    file.made = false;
    return written;
}

void CloseOutputFile(OutputFile& file) {
    if (file.handle == INVALID_HANDLE_VALUE) return;
    CloseHandle(file.handle);
    file.handle = INVALID_HANDLE_VALUE;
    if (file.made) DeleteFileW(file.path.c_str());
}

// Report values are one line each: CR and LF are written as \r and \n, other
// control characters as \xHH. Backslashes stay as they are (paths stay legible).
std::string EscapeLine(const std::string& utf8) {
    std::string out;
    for (unsigned char c : utf8) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c < 0x20 || c == 0x7F) {
            char hex[8];
            snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else out += static_cast<char>(c);
    }
    return out;
}

std::string FieldText(const char* field) {
    size_t length = strnlen(field, HostBufferSize);
    return EscapeLine(CodePage932ToUtf8(std::string(field, length)));
}

// --- the call ---------------------------------------------------------------

struct CallOutcome {
    ULONG_PTR result = 0;
    double elapsedMs = 0;
    SIZE_T baseBytes = 0;   // working set just before the call
    SIZE_T peakBytes = 0;   // peak working set just after it
    std::string clipboard = "none";
    std::vector<std::string> windows;
    bool exported = false;  // LnCopy handed back its log
    std::string exportedText;  // that log as UTF-8, one report line
    SIZE_T exportedBlock = 0;  // the block's size in bytes (text and NUL when exact)
};

SIZE_T WorkingSet(bool peak) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return peak ? counters.PeakWorkingSetSize : counters.WorkingSetSize;
}

typedef ULONG_PTR(WINAPI* ExportFunction)(HostContext*, char**, ULONG_PTR, HWND, void*, void*);

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
        if (!written) WriteError("tavihost: cannot write the raw file\n");
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

bool WriteReport(const HostRun& run, const HostSession& session, OutputFile& report, DWORD format,
                 const CallOutcome& outcome) {
    char line[96];
    std::string text;
    snprintf(line, sizeof line, "result: 0x%08lX\n", static_cast<unsigned long>(outcome.result));
    text += line;
    snprintf(line, sizeof line, "format: %lu\n", static_cast<unsigned long>(format));
    text += line;
    snprintf(line, sizeof line, "options: 0x%08lX\n", static_cast<unsigned long>(session.context->options));
    text += line;
    text += "pathBuffer: " + FieldText(session.context->pathBuffer) + "\n";
    text += "messageBuffer: " + FieldText(session.context->messageBuffer) + "\n";
    for (const std::string& box : session.boxes)
        text += "box: " + EscapeLine(CodePage932ToUtf8(box)) + "\n";
    for (const std::string& window : outcome.windows) text += "window: " + window + "\n";
    for (const std::string& title : session.titles)
        text += "title: " + EscapeLine(CodePage932ToUtf8(title)) + "\n";
    for (const std::string& line : run.script.reportLines) text += EscapeLine(line) + "\n";
    if (outcome.exported) {
        text += "exported: " + outcome.exportedText + "\n";
        snprintf(line, sizeof line, "exportedBlock: %lu bytes\n", static_cast<unsigned long>(outcome.exportedBlock));
        text += line;
    }
    text += "clipboard: " + outcome.clipboard + "\n";
    snprintf(line, sizeof line, "elapsed: %.0f ms\n", outcome.elapsedMs);
    text += line;
    snprintf(line, sizeof line, "elapsedMicroseconds: %.0f\n", outcome.elapsedMs * 1000.0);
    text += line;
    snprintf(line, sizeof line, "peak: %lu KiB\n", static_cast<unsigned long>(outcome.peakBytes / 1024));
    text += line;
    snprintf(line, sizeof line, "base: %lu KiB\n", static_cast<unsigned long>(outcome.baseBytes / 1024));
    text += line;
    return WriteOutputFile(report, text.data(), text.size());
}

// One line on stderr: "Tavimore: " and the UTF-8 text, CR LF (or a lone CR
// or LF) written as a space.
void WriteStderrLine(const std::string& utf8) {
    std::string line = "Tavimore: ";
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
        line += (utf8[i] == '\r' || utf8[i] == '\n') ? ' ' : utf8[i];
    }
    line += "\n";
    WriteError(line.c_str());
}

// In a batch run nobody sees the dialogs and message boxes: each refused OK,
// the progress window's final status and each box's text go to stderr as one
// line each.
void WriteBatchLinesToStderr(const HostSession& session, const ScriptRun& script) {
    for (const std::string& line : script.stderrLines) WriteStderrLine(line);
    for (const std::string& box : session.boxes) {
        size_t bar = box.find(" | ");  // "CAPTION | TEXT"
        WriteStderrLine(CodePage932ToUtf8(bar == std::string::npos ? box : box.substr(bar + 3)));
    }
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

int CallCommand(HostRun& run, OutputFile& raw, OutputFile& report);

int RunCommand(HostRun& run) {
    OutputFile raw, report;
    if (!OpenOutputFile(raw, run.rawPath)) return UsageError(Given(L"--raw", run.rawPath.c_str()) + ": cannot be made");
    if (!OpenOutputFile(report, run.reportPath)) {
        CloseOutputFile(raw);
        return UsageError(Given(L"--report", run.reportPath.c_str()) + ": cannot be made");
    }
    int status = CallCommand(run, raw, report);
    CloseOutputFile(raw);
    CloseOutputFile(report);
    return status;
}

int CallCommand(HostRun& run, OutputFile& raw, OutputFile& report) {
    HMODULE library = LoadLibraryA(LibraryPath().c_str());
    if (!library) {
        WriteError("tavihost: cannot load Tavimore.dll from the program's folder\n");
        return ExitNoLibrary;
    }
    auto command = reinterpret_cast<ExportFunction>(GetProcAddress(library, run.command->exportName));
    if (!command) {
        WriteError("tavihost: the library has no such export\n");
        return ExitNoLibrary;
    }
    HostSession session;
    if (!OpenHostSession(session)) {
        WriteError("tavihost: cannot create the host window\n");
        return ExitNoLibrary;
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
    if (scriptPlays) StopScript(run.script);
    if (run.batch) WriteBatchLinesToStderr(session, run.script);
    for (const std::string& line : run.script.failures) WriteError(("tavihost: " + line + "\n").c_str());

    bool filesWritten = true;
    // AsText returns a block; LnCopy's result above 0x20 is a block of log text.
    bool isBlock = run.command->kind == KindAsText ? outcome.result != 0
                   : run.command->kind == KindLnCopy ? outcome.result > 0x20 : false;
    if (isBlock) {
        DWORD blockFormat = run.command->kind == KindAsText ? format : CF_TEXT;
        filesWritten = DeliverText(run, session, raw, reinterpret_cast<HGLOBAL>(outcome.result), blockFormat, outcome);
    }
    if (!run.reportPath.empty() && !WriteReport(run, session, report, format, outcome)) {
        WriteError("tavihost: cannot write the report file\n");
        filesWritten = false;
    }
    CloseHostSession(session);
    FreeLibrary(library);
    if (run.script.limitReached) return ExitTimeLimit;
    if (run.script.notDone) return ExitNotDoneAsAsked;
    if (!filesWritten) return ExitUsage;
    return outcome.result != 0 ? ExitDone : ExitNothingDone;
}

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
