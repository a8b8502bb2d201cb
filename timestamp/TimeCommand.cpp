// DtTime: set the last-write or creation time of the selection, or of the
// files directly inside one selected folder, to the time of the date-and-time
// dialog.
#include "Exports.h"
#include "ModuleState.h"
#include "PathText.h"
#include "SharedDialog.h"
#include "WideName.h"
#include <string.h>

namespace {

// Bits of ModeWord in this command.
enum : DWORD {
    ModeCreation = 0x01,      // set the creation time (else the last-write time)
    ModeInside = 0x02,        // the files directly inside the selected folder
    ModeSingleFolder = 0x10,  // one item is selected and it is a folder
};

// Sets the chosen time of one target. time null: the target's own other time
// (creation time into last-write, or last-write into creation), read from the
// open file; when it cannot be read nothing is set. Folders are skipped when
// skipFolders (and so is a target whose attributes cannot be read). Failures
// are silent; the target's attributes are put back as they were. wide: the
// target's exact UTF-16 path, for a name that code page 932 cannot hold (the
// bytes of target are then not used); null for target itself.
void SetTargetTime(const char* target, const WCHAR* wide, const FILETIME* time, bool creation, bool skipFolders) {
    DWORD attributes = wide ? GetFileAttributesW(wide) : GetFileAttributesA(target);
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (skipFolders && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    if (!(wide ? SetFileAttributesW(wide, FILE_ATTRIBUTE_NORMAL) : SetFileAttributesA(target, FILE_ATTRIBUTE_NORMAL)))
        return;
    const DWORD access = GENERIC_READ | GENERIC_WRITE, share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | FILE_ATTRIBUTE_NORMAL;
    HANDLE file = wide ? CreateFileW(wide, access, share, nullptr, OPEN_EXISTING, flags, nullptr)
                       : CreateFileA(target, access, share, nullptr, OPEN_EXISTING, flags, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        FILETIME own, created, written;
        const FILETIME* chosen = time;
        if (!chosen && GetFileTime(file, &created, nullptr, &written)) {
            own = creation ? written : created;
            chosen = &own;
        }
        if (chosen) SetFileTime(file, creation ? chosen : nullptr, nullptr, creation ? nullptr : chosen);
        CloseHandle(file);
    }
    if (wide) SetFileAttributesW(wide, attributes);
    else SetFileAttributesA(target, attributes);
}

// Joins folder, a separator (none when folder already ends with one) and tail
// into buffer. Returns false, leaving a partial text, when it does not fit.
bool JoinInFolder(char* buffer, const char* folder, const char* tail) {
    const char* limit = buffer + HostBufferSize;
    char* end = CopyToEnd(buffer, folder, limit);
    if (!end) return false;
    if (*FindNamePart(folder) != '\0' || end == buffer) end = CopyToEnd(end, "\\", limit);
    return end && CopyToEnd(end, tail, limit);
}

// Directly-inside mode: every file entry of folder (sub-folders skipped) gets
// the time. The folder is searched under its exact UTF-16 path, so that each
// entry is known by its real name: one that code page 932 holds exactly is
// set through its bytes, composed in nameBuffer, as the user's paths are; any
// other through its exact UTF-16 path, never through the code page's stand-in
// for it. An entry whose path would not fit (259 bytes, or 259 units for the
// exact path) is left alone, and so is a folder whose pattern would not fit.
void SetInsideTimes(const char* folder, const FILETIME* time, bool creation) {
    HostContext* context = moduleState.context;
    WIN32_FIND_DATAA* entry = moduleState.findDataPointer;
    if (!JoinInFolder(context->nameBuffer, folder, "*")) return;
    WCHAR wide[WidePathRoom];
    WCHAR* limit = wide + WidePathRoom;
    WCHAR* pattern = WidenToEnd(wide, context->nameBuffer, limit);
    if (!pattern) return;
    WCHAR* namePosition = pattern - 1;  // the "*" behind the folder's separator
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(wide, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (TakeFoundEntry(found, entry)) {
            if (JoinInFolder(context->nameBuffer, folder, entry->cFileName))
                SetTargetTime(context->nameBuffer, nullptr, time, creation, true);
        } else if (CopyWideToEnd(namePosition, found.cFileName, limit)) {
            JoinInFolder(context->nameBuffer, folder, entry->cFileName);  // as it can be shown
            SetTargetTime(context->nameBuffer, wide, time, creation, true);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// The dialog's time (local) as one instant in UTC into *instant. False when
// the record holds no such date.
bool ChosenInstant(const char* record, FILETIME* instant) {
    SYSTEMTIME chosen;
    FILETIME local;
    memcpy(&chosen, record, sizeof chosen);
    return SystemTimeToFileTime(&chosen, &local) && LocalFileTimeToFileTime(&local, instant);
}

}  // namespace

// Returns 0 when the dialog was cancelled (or could not be opened), 1 otherwise.
extern "C" ULONG_PTR WINAPI DtTime(HostContext* context, char** selection, int count, HWND host, void*,
                                   KeyCallback keyCallback) {
    ClearModuleState();
    if (!context) return 0;
    moduleState.workPointer = context->workBuffer;
    moduleState.findDataPointer = &context->findData;
    moduleState.keyCallback = keyCallback;
    moduleState.context = context;
    moduleState.selection = count > 0 ? selection : nullptr;  // the dialog fills from the first path
    SetSlot(SlotHostWindow, reinterpret_cast<ULONG_PTR>(host));
    if (count == 1) moduleState.modeWord = context->itemAttributes & ModeSingleFolder;

    INT_PTR answer = DialogBoxParamA(moduleState.moduleInstance, MAKEINTRESOURCEA(TemplateTime), host,
                                     SharedDialogProc, RoleTime);
    if (answer <= 0) return 0;

    WORD year;
    memcpy(&year, context->workBuffer, sizeof year);
    FILETIME instant;
    const FILETIME* time = nullptr;  // year 0: each target's own other time
    bool timeKnown = year == 0;
    if (year != 0 && ChosenInstant(context->workBuffer, &instant)) {
        time = &instant;
        timeKnown = true;
    }
    DWORD mode = moduleState.modeWord;
    bool creation = (mode & ModeCreation) != 0;
    if ((context->options & OptionToggleOnEnd) || (mode & (ModeInside | ModeSingleFolder)) == ModeSingleFolder)
        context->options ^= OptionToggled;
    if (!(context->options & OptionToggled) && count > 0 && selection[0])
        CopyToEnd(context->messageBuffer, selection[0], context->messageBuffer + HostBufferSize, CopyCut);

    for (int i = 0; timeKnown && i < count; ++i) {
        const char* path = selection[i];
        if (!path || !*path) continue;
        if (mode & ModeInside) SetInsideTimes(path, time, creation);
        else SetTargetTime(path, nullptr, time, creation, false);
    }
    return 1;
}
