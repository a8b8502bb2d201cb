#include "CopyEngine.h"
#include "ModuleState.h"
#include "NameFit.h"
#include "NewerRule.h"
#include "PathText.h"
#include "PumpProgress.h"
#include "StandardBox.h"
#include "Texts.h"
#include "WideName.h"
#include <string.h>

namespace {

enum {
    RetryDelayMs = 13,        // after each success and before each retry
    LinesInView = 7,          // the caret moves only for lines past this index
    QuietBoxStyle = MB_TASKMODAL | MB_SETFOREGROUND | MB_TOPMOST,  // 0x52000
    IconOrigin = 12,          // x of the outcome icon; y is IconTop
    IconTop = 10,
    LargeHeadSize = 24,       // "≫", ten digits, " MB " and the NUL
};

HostContext* Context() { return moduleState.context; }
WIN32_FIND_DATAA* Entry() { return moduleState.findDataPointer; }
char* PathLimit() { return Context()->pathBuffer + HostBufferSize; }
char* WorkLimit() { return Context()->workBuffer + HostBufferSize; }
HWND ResultList() { return SlotWindow(SlotControl1); }
bool HasFlag(DWORD flag) { return (OpFlags() & flag) != 0; }
bool IsFolder(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

void WriteMark(const char* mark) { memcpy(MarkSlot(Context()), mark, 2); }

// Adds the log line (the mark slot followed by pathBuffer) to the result list.
// Returns its index, or -1 when there is no list or it refused the line.
int AddLogLine() {
    HWND list = ResultList();
    if (!list) return -1;
    LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(MarkSlot(Context())));
    return index < 0 ? -1 : static_cast<int>(index);
}

void MoveCaret(int index) {
    SendMessageA(ResultList(), LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
}

void SelectLine(int index) {
    SendMessageA(ResultList(), LB_SETSEL, TRUE, static_cast<LPARAM>(index));
}

// Logs a failure of the path now in pathBuffer: "×", the line selected and,
// when the list is long, brought into view. Counts the error; returns StepFailed.
int LogFailure() {
    WriteMark(MarkFailed);
    int index = AddLogLine();
    if (index >= 0) {
        SelectLine(index);
        if (index > LinesInView) MoveCaret(index);
    }
    ++moduleState.counters.errors;
    return StepFailed;
}

// An entry whose joined source or destination path would not fit its 260-byte
// buffer: nothing is written past the buffer and nothing is copied. The log
// shows the destination cut at the buffer's end (name written at namePosition).
// The caller puts its own NUL back afterwards. Returns StepFailed.
int RefuseTooLong(char* namePosition, const char* name) {
    char* limit = PathLimit();
    if (namePosition >= limit) namePosition = limit - 1;
    CopyToEnd(namePosition, name, limit, CopyCut);
    return LogFailure();
}

// The large-file line, "≫" and the size in units right-aligned in four places,
// then the source's bare name, cut so that the whole line stays within
// messageBuffer. Returns false when even the size does not fit (never for 260).
bool ComposeLargeFileLine(uint32_t units, const char* name) {
    char head[LargeHeadSize];
    wsprintfA(head, LargeFileFormat, units, "");
    char* line = Context()->messageBuffer;
    char* limit = line + HostBufferSize;
    char* end = CopyToEnd(line, head, limit, CopyWhole);
    return end && CopyToEnd(end, name, limit, CopyCut);
}

// A path as the file calls take it: the code page 932 bytes while every name
// on it is held exactly by that code page, otherwise its exact UTF-16 text
// (wide not null). The bytes are then only the path as the log shows it.
struct FilePath {
    const char* bytes;
    const WCHAR* wide;
};

FilePath BytePath(const char* bytes) {
    FilePath path = {bytes, nullptr};
    return path;
}

DWORD AttributesOf(FilePath path) {
    return path.wide ? GetFileAttributesW(path.wide) : GetFileAttributesA(path.bytes);
}

bool SetAttributesOf(FilePath path, DWORD attributes) {
    return (path.wide ? SetFileAttributesW(path.wide, attributes) : SetFileAttributesA(path.bytes, attributes)) != FALSE;
}

// Looks up the destination into findData (attributes, times and size; the name
// stays the source's). Returns 1 when an entry exists there, 0 when nothing is
// there, -1 when the destination cannot be looked up: the attribute query
// failed for another reason than "not found" (a locked or unreadable entry, a
// link that cannot be resolved) and the directory search, tried twice 13 ms
// apart, finds nothing either.
// Only "file not found" and "path not found" mean missing: anything else taken
// for missing would let the new rule write over an existing file. The
// attribute query costs a fraction of a directory search. A name is never
// searched for as a pattern: a path with "?" or "*" cannot be looked up.
int LookUpDestination(FilePath destination) {
    WIN32_FIND_DATAA* entry = Entry();
    WIN32_FILE_ATTRIBUTE_DATA data;
    BOOL read = destination.wide ? GetFileAttributesExW(destination.wide, GetFileExInfoStandard, &data)
                                 : GetFileAttributesExA(destination.bytes, GetFileExInfoStandard, &data);
    if (read) {
        entry->dwFileAttributes = data.dwFileAttributes;
        entry->ftCreationTime = data.ftCreationTime;
        entry->ftLastAccessTime = data.ftLastAccessTime;
        entry->ftLastWriteTime = data.ftLastWriteTime;
        entry->nFileSizeHigh = data.nFileSizeHigh;
        entry->nFileSizeLow = data.nFileSizeLow;
        return 1;
    }
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return 0;
    if (destination.wide ? HasWildcard(destination.wide) : HasWildcardByte(destination.bytes)) return -1;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt) Sleep(RetryDelayMs);
        HANDLE find;
        if (destination.wide) {
            WIN32_FIND_DATAW found;
            find = FindFirstFileW(destination.wide, &found);
            if (find != INVALID_HANDLE_VALUE) TakeEntryFields(found, entry);
        } else {
            find = FindFirstFileA(destination.bytes, entry);
        }
        if (find != INVALID_HANDLE_VALUE) {
            FindClose(find);
            return 1;
        }
    }
    return -1;
}

bool ReadIdentity(FilePath path, BY_HANDLE_FILE_INFORMATION& info) {
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE file = path.wide ? CreateFileW(path.wide, 0, share, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)
                            : CreateFileA(path.bytes, 0, share, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    BOOL read = GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    return read != FALSE;
}

// True when both paths name the same file: the same bytes apart from case, or
// the same volume and file index (another spelling, a link).
bool IsSameFile(FilePath first, FilePath second) {
    if (!first.wide && SameTextIgnoringCase(first.bytes, second.bytes)) return true;
    BY_HANDLE_FILE_INFORMATION a, b;
    if (!ReadIdentity(first, a) || !ReadIdentity(second, b)) return false;
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

// True when folder path lies strictly inside the folder tree of root (the same
// text apart from case, followed by a separator).
bool IsInsideTree(const char* path, const char* root) {
    int rootLength = lstrlenA(root);
    if (rootLength == 0 || lstrlenA(path) <= rootLength) return false;
    if (CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, path, rootLength, root, rootLength) != CSTR_EQUAL)
        return false;
    return path[rootLength] == '\\' || FindNamePart(root) == root + rootLength;  // root "X:\" ends in one
}

// The three file operations of the engine, each tried once more after 13 ms
// when it fails. Source and destination are of the same kind (both bytes or
// both wide): the same name is appended to both.
bool CopyWithRetry(FilePath source, FilePath destination) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt) Sleep(RetryDelayMs);
        BOOL done = source.wide ? CopyFileW(source.wide, destination.wide, FALSE)
                                : CopyFileA(source.bytes, destination.bytes, FALSE);
        if (done) return true;
    }
    return false;
}

bool CreateWithRetry(FilePath folder) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt) Sleep(RetryDelayMs);
        BOOL done = folder.wide ? CreateDirectoryW(folder.wide, nullptr) : CreateDirectoryA(folder.bytes, nullptr);
        if (done) return true;
    }
    return false;
}

bool DeleteWithRetry(FilePath file) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (attempt) Sleep(RetryDelayMs);
        BOOL done = file.wide ? DeleteFileW(file.wide) : DeleteFileA(file.bytes);
        if (done) return true;
    }
    return false;
}


bool IsDotName(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

FileStamp StampOf(const WIN32_FIND_DATAA& entry) {
    FileStamp stamp = {entry.ftLastWriteTime.dwHighDateTime, entry.ftLastWriteTime.dwLowDateTime,
                       entry.nFileSizeLow};
    return stamp;
}

// The end of a run: beep, then the final status with icon and "&OK" in the
// window, or the message box of a quiet run that was cancelled or had errors.
// A run stopped by a close request destroys its window and shows nothing.
void ReportOutcome(HWND window, DWORD outcome) {
    MessageBeep(outcome & 0x70);
    if (OpFlags() == 0) {
        if (window) DestroyWindow(window);
        return;
    }
    PumpProgress(outcome);
    if (window) {
        HDC dc = GetDC(window);
        if (dc) {
            DrawIcon(dc, IconOrigin, IconTop, LoadIconA(nullptr, MAKEINTRESOURCEA(0x7F00 + (outcome & 7))));
            ReleaseDC(window, dc);
        }
        HWND button = SlotWindow(SlotControl0);
        if (button) SetWindowTextA(button, ButtonOk);
    } else if (outcome & 1) {
        ShowStandardBox(HostWindow(), Context()->messageBuffer, (outcome & 0x70) | QuietBoxStyle);
    }
}

// Where the folder now walked ends in each of its paths: in workBuffer and
// pathBuffer (code page 932), and in the exact UTF-16 copies of the two. Below
// a name that the code page cannot hold, source is null (workBuffer cannot
// reach the folder) and pathBuffer holds the destination as the log shows it.
struct FolderEnds {
    char* source;
    char* destination;
    WCHAR* wideSource;
    WCHAR* wideDestination;
};

// The exact UTF-16 paths of a walk, beside workBuffer and pathBuffer.
struct WidePaths {
    WCHAR source[WidePathRoom];
    WCHAR destination[WidePathRoom];
};

// Room behind the ends for "\*" and its NUL, the search pattern of the folder.
bool PatternFits(const WidePaths& wide, const FolderEnds& ends) {
    return (!ends.source || ends.source + 2 < WorkLimit()) && ends.wideSource + 2 < wide.source + WidePathRoom;
}

// One file: the new and update rules, the copy, the log line and the counts.
// When moving, a source that cannot be deleted after its copy fails the file:
// the copy stays, so does the source, and the file is not counted as moved.
int CopyFileStep(FilePath source, FilePath destination) {
    if (!PumpProgress(0)) return StepCancelled;
    WIN32_FIND_DATAA* entry = Entry();
    const FileStamp sourceStamp = StampOf(*entry);
    HWND list = ResultList();
    bool largeFile = false;
    if (list) {
        uint32_t units = SizeInUnits(entry->nFileSizeHigh, entry->nFileSizeLow);
        largeFile = units >= LargeFileUnits && ComposeLargeFileLine(units, entry->cFileName);
    }

    bool failed = false;
    bool attributesReset = false;
    DWORD replacedAttributes = 0;
    int found = LookUpDestination(destination);  // findData now describes the destination
    if (found < 0) {
        failed = true;
        WriteMark(MarkFailed);
    } else if (found > 0) {
        if (!HasFlag(OpUpdate)) return StepSkipped;
        if (!IsSourceNewer(sourceStamp, StampOf(*entry), NewerTolerance(Context()->options))) return StepSkipped;
        // A file is never copied onto itself. Under another spelling the copy
        // fails on its own (the source is open for reading), but a move must
        // not get that far: its delete would lose the file if it ever succeeded.
        bool same = (HasFlag(OpMove) || source.wide) ? IsSameFile(source, destination)
                                                     : SameTextIgnoringCase(source.bytes, destination.bytes);
        if (same) return StepSkipped;
        if (!IsFolder(entry->dwFileAttributes)) {
            replacedAttributes = entry->dwFileAttributes;
            attributesReset = SetAttributesOf(destination, FILE_ATTRIBUTE_NORMAL);
        }
        WriteMark(MarkReplaced);
    } else {
        if (!HasFlag(OpNew)) return StepSkipped;
        WriteMark(MarkCopied);
    }

    int largeIndex = -1;
    if (!failed) {
        if (largeFile) {
            LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Context()->messageBuffer));
            if (index >= 0) {
                largeIndex = static_cast<int>(index);
                if (largeIndex > LinesInView) MoveCaret(largeIndex);
            }
            PumpProgress(0);  // shows the line; a cancel takes effect at the next file
        }
        if (!CopyWithRetry(source, destination)) {
            failed = true;
            WriteMark(MarkFailed);
            // The destination stays as it was, read-only or hidden included.
            if (attributesReset) SetAttributesOf(destination, replacedAttributes);
        } else {
            Sleep(RetryDelayMs);
            if (HasFlag(OpMove) && !DeleteWithRetry(source)) {
                failed = true;
                WriteMark(MarkFailed);
            }
        }
    }

    if (list) {
        if (largeIndex >= 0) SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(largeIndex), 0);
        int index = AddLogLine();
        if (failed && index >= 0) SelectLine(index);
        if (index > LinesInView && largeIndex < 0) MoveCaret(index);
    }
    if (failed) {
        ++moduleState.counters.errors;
        return StepFailed;
    }
    ++moduleState.counters.filesCopied;
    return StepCopied;
}

// One folder and its tree, depth first. The folder's entries are read under
// their real names; an entry whose name code page 932 holds exactly is handled
// through the ANSI calls as it is spelt there, any other entry (and all that
// lies below it) through the exact UTF-16 path, its log line showing "?" where
// the code page has no character. Returns 9 when cancelled.
int CopyFolderTree(WidePaths& wide, FolderEnds ends) {
    if (!PumpProgress(0)) return StepCancelled;
    HostContext* context = Context();
    char* path = context->pathBuffer;
    char* work = context->workBuffer;
    FilePath folder = {path, ends.source ? nullptr : wide.destination};
    DWORD attributes = AttributesOf(folder);
    bool exists = attributes != INVALID_FILE_ATTRIBUTES && IsFolder(attributes);
    if (!exists && !HasFlag(OpNew)) return StepSkipped;
    // A folder too deep for its search pattern cannot be walked (this also ends
    // a walk through folder links that lead back into their own tree).
    if (!PatternFits(wide, ends)) return LogFailure();
    if (!exists) {
        bool made = CreateWithRetry(folder);
        WriteMark(made ? MarkFolderMade : MarkFailed);
        int index = AddLogLine();
        if (index >= 0) {
            MoveCaret(index);
            if (!made) SelectLine(index);
        }
        if (!made) {
            ++moduleState.counters.errors;
            return StepFailed;
        }
        ++moduleState.counters.foldersCreated;
        Sleep(RetryDelayMs);
    }

    memcpy(ends.wideSource, L"\\*", 3 * sizeof(WCHAR));
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(wide.source, &found);
    if (find == INVALID_HANDLE_VALUE) {
        *ends.wideSource = L'\0';
        return StepSkipped;
    }
    *ends.destination = '\\';
    *ends.wideDestination = L'\\';
    if (ends.source) *ends.source = '\\';
    int step = StepSkipped;
    do {
        bool exact = TakeFoundEntry(found, Entry());
        const char* name = Entry()->cFileName;  // as the log shows it when not exact
        bool isFolder = IsFolder(found.dwFileAttributes);
        if (isFolder && IsDotName(name)) continue;
        ++(isFolder ? moduleState.counters.foldersSeen : moduleState.counters.filesSeen);
        FolderEnds inner;
        inner.source = ends.source && exact ? CopyToEnd(ends.source + 1, name, WorkLimit()) : nullptr;
        inner.destination = CopyToEnd(ends.destination + 1, name, PathLimit());
        inner.wideSource = CopyWideToEnd(ends.wideSource + 1, found.cFileName, wide.source + WidePathRoom);
        inner.wideDestination =
            CopyWideToEnd(ends.wideDestination + 1, found.cFileName, wide.destination + WidePathRoom);
        bool fits = inner.destination && inner.wideSource && inner.wideDestination &&
                    (inner.source || !(ends.source && exact));
        if (!fits) {
            step = RefuseTooLong(ends.destination + 1, name);
            continue;
        }
        if (isFolder) {
            step = CopyFolderTree(wide, inner);
        } else {
            FilePath from = {work, nullptr}, to = {path, nullptr};
            if (!inner.source) {
                from.wide = wide.source;
                to.wide = wide.destination;
            }
            step = CopyFileStep(from, to);
        }
        if (step == StepCancelled) break;
    } while (FindNextFileW(find, &found));
    FindClose(find);
    *ends.destination = '\0';
    *ends.wideSource = L'\0';
    *ends.wideDestination = L'\0';
    if (ends.source) *ends.source = '\0';
    return step;
}

}  // namespace

int CopyOneFile(const char* source, char* destination) {
    return CopyFileStep(BytePath(source), BytePath(destination));
}

void RunCopyJob(HWND window, char* destinationEnd) {
    HostContext* context = Context();
    char* work = context->workBuffer;
    DWORD count = static_cast<DWORD>(moduleState.slotTable[SlotSelectionCount]);
    WidePaths wide;
    int step = StepSkipped;
    for (DWORD i = 0; i < count; ++i) {
        char* item = moduleState.selection[i];
        // Every item starts from the chosen folder with its "\"; only below
        // (one folder) writes over it, and the run's end puts it back.
        destinationEnd[-1] = '\\';
        *destinationEnd = '\0';
        char* itemEnd;
        if (HasFlag(OpBelow)) {
            itemEnd = destinationEnd - 1;  // the chosen folder itself
            *itemEnd = '\0';
        } else {
            const char* name = reinterpret_cast<const char*>(moduleState.pathCallback(item, PathNamePart));
            itemEnd = CopyToEnd(destinationEnd, name, PathLimit());
            if (!itemEnd) {
                step = RefuseTooLong(destinationEnd, name);
                continue;
            }
        }
        // A drive or share root has no entry of its own: it is not found; nor
        // is an item with "?" or "*", which is a name, never a pattern.
        HANDLE find = HasWildcardByte(item) ? INVALID_HANDLE_VALUE : FindFirstFileA(item, Entry());
        if (find == INVALID_HANDLE_VALUE) {
            ++moduleState.counters.errors;
            step = StepFailed;
            continue;
        }
        FindClose(find);
        if (!IsFolder(Entry()->dwFileAttributes)) {
            ++moduleState.counters.filesSeen;
            step = CopyOneFile(item, context->pathBuffer);
        } else {
            if (!HasFlag(OpBelow)) ++moduleState.counters.foldersSeen;
            FolderEnds ends;
            ends.source = CopyToEnd(work, item, WorkLimit());
            ends.destination = itemEnd;
            ends.wideSource = WidenToEnd(wide.source, item, wide.source + WidePathRoom);
            ends.wideDestination = WidenToEnd(wide.destination, context->pathBuffer, wide.destination + WidePathRoom);
            // A folder copied into its own tree would copy its own copies until
            // the path bound stops it.
            if (!ends.source || !ends.wideSource || !ends.wideDestination || IsInsideTree(context->pathBuffer, item))
                step = LogFailure();
            else
                step = CopyFolderTree(wide, ends);
        }
        if (step == StepCancelled) break;
    }
    destinationEnd[-1] = '\\';
    *destinationEnd = '\0';

    DWORD outcome = step == StepCancelled ? OutcomeCancelled
                    : moduleState.counters.errors > 0 ? OutcomeErrors
                                                      : OutcomeClean;
    ReportOutcome(window, outcome);
    OpFlags() &= ~static_cast<DWORD>(OpRunning);
}
