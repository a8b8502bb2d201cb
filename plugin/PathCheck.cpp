#include "PathCheck.h"
#include "ModuleState.h"
#include "PathText.h"
#include "StandardBox.h"
#include <string.h>

namespace {

// Room for a report: the longest path of a context field and a suffix, with margin.
enum { ReportSize = HostBufferSize + 64 };
// CheckName: longest name read from the name field, NUL included.
enum { NameTextLimit = 224 };
// Control id of a drop-down combo box's edit field.
enum { ComboEditId = 1001 };

inline bool IsLead(const char* p) { return IsLeadByte(static_cast<unsigned char>(*p)); }

// Shows "path up to q" followed by the failure suffix in the standard message
// box, then ends the path at q. The report is composed in a local buffer, so a
// path near the end of its field is shown whole and nothing is written past
// the field; a path longer than the report buffer is cut between characters.
// path must hold a NUL at q. Returns null, the result of every failure.
char* ReportFailureAt(char* path, char* q) {
    *q = '\0';
    const char* suffix = textChoice.failureSuffix ? textChoice.failureSuffix : "";
    char report[ReportSize] = "";
    size_t suffixLength = strlen(suffix);
    size_t pathRoom = suffixLength < sizeof report ? sizeof report - suffixLength : 1;
    char* end = CopyToEnd(report, path, report + pathRoom, CopyCut);
    CopyToEnd(end, suffix, report + sizeof report, CopyCut);
    ShowStandardBox(HostWindow(), report);
    return nullptr;
}

// Creates the folder named by path (NUL-terminated at the folder's end). An
// existing folder counts as made, without counting; an existing file of that
// name is a failure. Returns true when the folder exists afterwards.
bool MakeFolder(const char* path) {
    if (CreateDirectoryA(path, nullptr)) {
        moduleState.counters.foldersCreated += 1;
        moduleState.counters.foldersSeen += 1;
        return true;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// What one pass over a rooted path finds.
struct PathShape {
    char* end;            // the terminator, or the root's closing "\" in mode 0
    char* lastSeparator;  // null when there is none after the root bytes
    int rootLeft;         // root separators not yet passed
    bool endsWithSeparator;
    char* shareStart;     // UNC form: first byte of the share name, once the server's "\" is passed
    char* shareEnd;       // UNC form: the share's closing "\", once passed
};

// Scans path from its third byte within bufferSize bytes, stepping over
// double-byte characters. For mode 0 it stops at the separator that closes the
// root. For modes 1 and 2 it creates every intermediate folder on the way
// (when create is true); a failed creation is reported and gives false.
// Returns false also when the path has no terminator within the buffer.
bool WalkPath(char* path, size_t bufferSize, int mode, bool create, int rootCount, PathShape& shape) {
    char* limit = path + bufferSize;
    shape.lastSeparator = nullptr;
    shape.rootLeft = rootCount;
    shape.endsWithSeparator = false;
    shape.shareStart = shape.shareEnd = nullptr;
    for (char* p = path + 2; p < limit; ++p) {
        if (*p == '\0') {
            shape.end = p;
            return true;
        }
        if (*p == '\\') {
            shape.lastSeparator = p;
            shape.endsWithSeparator = true;
            if (shape.rootLeft > 0) {
                --shape.rootLeft;
                if (rootCount == 2 && shape.rootLeft == 1) shape.shareStart = p + 1;
                if (rootCount == 2 && shape.rootLeft == 0) shape.shareEnd = p;
                if (shape.rootLeft == 0 && mode == EnsureRootExists) {
                    shape.end = p;
                    return true;
                }
                continue;
            }
            if (create) {
                *p = '\0';
                if (!MakeFolder(path)) {
                    ReportFailureAt(path, p);
                    return false;
                }
                *p = '\\';
            }
            continue;
        }
        shape.endsWithSeparator = false;
        if (IsLead(p)) {
            if (p + 1 >= limit) break;
            if (p[1] == '\0') {
                shape.end = p + 1;
                return true;
            }
            ++p;
        }
    }
    return false;  // no terminator within the buffer
}

// Root separators a path needs: 1 for "X:\...", 2 for "\\server\share\...",
// 0 for anything else. A drive form must be "X:" alone or go on with "\": a
// drive-relative "X:name" depends on the process's current folder and is
// not accepted. A UNC form must name a server ("\\\..." does not).
int RootCount(const char* path, size_t bufferSize) {
    if (bufferSize < 3) return 0;
    if (path[0] != '\0' && path[1] == ':') return (path[2] == '\0' || path[2] == '\\') ? 1 : 0;
    if (path[0] == '\\' && path[1] == '\\') return path[2] == '\\' ? 0 : 2;
    return 0;
}

// True for a UNC path whose share name is empty ("\\srv\" or "\\srv\\x"):
// such a path names no share, and closing it with "\" would only add another
// empty name.
bool HasEmptyShare(const PathShape& shape) {
    if (!shape.shareStart) return false;
    return (shape.shareEnd ? shape.shareEnd : shape.end) == shape.shareStart;
}

}  // namespace

char* EnsurePath(char* path, int mode, size_t bufferSize) {
    if (!path || bufferSize == 0) return nullptr;
    char* terminator = static_cast<char*>(memchr(path, '\0', bufferSize));
    if (!terminator) return nullptr;  // not a string within its buffer: nothing to check or show
    if (mode < 0) return ReportFailureAt(path, terminator);
    int rootCount = RootCount(path, bufferSize);
    if (rootCount == 0) return nullptr;

    // First pass without creating anything: the shape of the path decides
    // whether the result can be written at all.
    PathShape shape;
    if (!WalkPath(path, bufferSize, mode, false, rootCount, shape)) return nullptr;
    if (shape.rootLeft > 1 || HasEmptyShare(shape)) return nullptr;  // a UNC path that names no share

    if (mode == EnsureRootExists) {
        char kept = *shape.end;
        *shape.end = '\0';
        DWORD attributes = GetFileAttributesA(path);
        *shape.end = kept;
        if (static_cast<LONG>(attributes) < 0) return nullptr;
        return shape.lastSeparator ? shape.lastSeparator + 1 : shape.end;
    }

    // Mode 1 closes the path with "\" unless a folder path already ends in one.
    bool closes = !(shape.rootLeft == 0 && shape.endsWithSeparator);
    if (mode == EnsureFolder && closes && static_cast<size_t>(shape.end - path) + 2 > bufferSize)
        return ReportFailureAt(path, shape.end);  // no room for the closing "\"
    if (mode > EnsureFolder && shape.rootLeft > 0) return nullptr;  // no final component

    if (!WalkPath(path, bufferSize, mode, true, rootCount, shape)) return nullptr;

    if (mode > EnsureFolder) return shape.lastSeparator + 1;
    if (shape.rootLeft == 0 && shape.endsWithSeparator) return shape.end;
    if (shape.rootLeft == 0 && !MakeFolder(path)) return ReportFailureAt(path, shape.end);
    shape.end[0] = '\\';
    shape.end[1] = '\0';
    return shape.end + 1;
}

namespace {

bool IsForbiddenInName(char c) {
    return c == '/' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|';
}

// Refusal: focus on the field (for slot 0 the combo box's edit field) and the
// bytes from start to end selected. Returns 0.
int Refuse(int slot, HWND window, int start, int end) {
    if (!window) return 0;
    HWND field = window;
    if (slot == SlotControl0) {
        HWND edit = GetDlgItem(window, ComboEditId);
        if (edit) field = edit;
    }
    SetFocus(field);
    SendMessageA(field, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
    return 0;
}

// Scans text (length bytes) for characters no file name may hold, stepping
// over double-byte characters; characters that start before byte from are not
// examined. Returns the offset of the first forbidden character, or -1, and
// counts the "\" separators in separators.
int FindForbidden(const char* text, int length, int from, unsigned& separators) {
    separators = 0;
    for (int i = 0; i < length && text[i]; ++i) {
        if (IsLead(text + i)) {
            ++i;  // the trail byte; a NUL there ends the scan
            if (i >= length || !text[i]) break;
            continue;
        }
        if (i < from) continue;
        if (IsForbiddenInName(text[i])) return i;
        if (text[i] == '\\') ++separators;
    }
    return -1;
}

// Room for the name at workPointer: at most NameTextLimit bytes, and never past
// the end of messageBuffer when the name sits inside it.
int NameRoom(const HostContext* context, const char* name) {
    const char* field = context->messageBuffer;
    if (name >= field && name < field + HostBufferSize) {
        int room = static_cast<int>(field + HostBufferSize - name);
        return room < NameTextLimit ? room : NameTextLimit;
    }
    return NameTextLimit;
}

int CheckDestinationText(HWND combo) {
    const char* text = moduleState.context->pathBuffer;
    if (text[0] == '\0') return 0;
    unsigned separators = 0;
    int bad = FindForbidden(text, HostBufferSize, 2, separators);
    if (bad >= 0) return Refuse(SlotControl0, combo, bad, bad + 1);
    return 1;
}

int CheckTypedName(int slot, HWND field) {
    char* name = moduleState.workPointer;
    if (!field || !name) return 0;
    int room = NameRoom(moduleState.context, name);
    int typed = static_cast<int>(SendMessageA(field, WM_GETTEXTLENGTH, 0, 0));
    if (typed >= room) return Refuse(slot, field, 0, typed);  // would be cut: refuse, not shorten
    int n = static_cast<int>(SendMessageA(field, WM_GETTEXT, static_cast<WPARAM>(room), reinterpret_cast<LPARAM>(name)));
    if (n < 0) n = 0;
    if (n > 0) {
        DWORD attributes = GetFileAttributesA(moduleState.context->messageBuffer);
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return Refuse(slot, field, 0, n);  // a file has that path
    }
    DWORD levelUp = (n >= 2 && name[0] == '.' && name[1] == '.') ? 1 : 0;
    if (n == 0) return Refuse(slot, field, 0, 0);
    unsigned separators = 0;
    int bad = FindForbidden(name, n, 0, separators);
    if (bad >= 0) return Refuse(slot, field, bad, bad + 1);
    moduleState.modeWord = levelUp + separators;
    return 1;
}

}  // namespace

int CheckName(int slot) {
    if (slot < 0 || slot >= SlotCount || !moduleState.context) return 0;
    HWND window = SlotWindow(slot);
    if (slot == SlotControl0) return CheckDestinationText(window);
    return CheckTypedName(slot, window);
}
