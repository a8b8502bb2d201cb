// What the host writes: stdout (the returned text as UTF-8), the --raw and
// --report files, and stderr lines.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "HostKit.h"

// What the call gave, for the report.
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

// Writes text as it is to stderr.
void WriteError(const char* text);

// Writes the text to stdout as UTF-8, a piece at a time so that the host needs
// little memory beyond the block. Pieces end between characters: never inside
// a double-byte character of code page 932 nor inside a surrogate pair. On a
// console the text goes out as UTF-16 through WriteConsoleW instead.
void WriteTextToStdout(const void* text, size_t length, bool wide);

// A file of --raw or --report, opened before the call so that one that
// cannot be made stops the run before anything was done. Its content is
// replaced only when it is written; a file it made and never wrote is removed.
struct OutputFile {
    std::wstring path;
    HANDLE handle = INVALID_HANDLE_VALUE;
    bool made = false;  // it did not exist before
};

// True when the file is open, or none was asked for (empty path).
bool OpenOutputFile(OutputFile& file, const std::wstring& path);
// Replaces the file's content with size bytes of data.
bool WriteOutputFile(OutputFile& file, const void* data, size_t size);
void CloseOutputFile(OutputFile& file);

// The report: the call's outcome, the session's boxes and titles, the
// scripted user's lines, in UTF-8 "key: value" lines.
bool WriteReport(const HostSession& session, const std::vector<std::string>& scriptLines, OutputFile& report,
                 DWORD format, const CallOutcome& outcome);

// In a batch run nobody sees the dialogs and message boxes: each refused OK,
// the progress window's final status and each box's text go to stderr as one
// line each.
void WriteBatchLinesToStderr(const HostSession& session, const std::vector<std::string>& scriptLines);
