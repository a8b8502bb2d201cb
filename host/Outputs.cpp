#include "Outputs.h"
#include "HostText.h"
#include "PathText.h"
#include <stdio.h>
#include <string.h>

namespace {

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

std::string FieldText(const char* field) {
    size_t length = strnlen(field, HostBufferSize);
    return EscapeLine(CodePage932ToUtf8(std::string(field, length)));
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

}  // namespace

void WriteError(const char* text) {
    DWORD written;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, static_cast<DWORD>(strlen(text)), &written, nullptr);
}

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

bool OpenOutputFile(OutputFile& file, const std::wstring& path) {
    file.path = path;
    if (path.empty()) return true;
    file.handle = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    file.made = GetLastError() != ERROR_ALREADY_EXISTS;
    return file.handle != INVALID_HANDLE_VALUE;
}

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

bool WriteReport(const HostSession& session, const std::vector<std::string>& scriptLines, OutputFile& report,
                 DWORD format, const CallOutcome& outcome) {
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
    for (const std::string& line : scriptLines) text += EscapeLine(line) + "\n";
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

void WriteBatchLinesToStderr(const HostSession& session, const std::vector<std::string>& scriptLines) {
    for (const std::string& line : scriptLines) WriteStderrLine(line);
    for (const std::string& box : session.boxes) {
        size_t bar = box.find(" | ");  // "CAPTION | TEXT"
        WriteStderrLine(CodePage932ToUtf8(bar == std::string::npos ? box : box.substr(bar + 3)));
    }
}

