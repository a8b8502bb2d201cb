// CgName: rename the first selected item (also into a sub-folder or one level
// up), or create a new empty file, through the name dialog (template 101).
// The target path is built in messageBuffer and stays there for the host.
#include "Exports.h"
#include "ModuleState.h"
#include "PathCheck.h"
#include "PathText.h"
#include "NameRules.h"
#include "SharedDialog.h"
#include "Texts.h"
#include <string.h>

namespace {

// One past the last byte of messageBuffer that may be written.
char* MessageLimit(HostContext* context) { return context->messageBuffer + HostBufferSize; }

// Reports the whole text of messageBuffer as a path that cannot be made (with
// the wording chosen in textChoice), leaves its folder in messageBuffer
// (PathCallback mode 0) and returns 1, the result of every failure.
ULONG_PTR ReportTargetFailure(HostContext* context) {
    EnsurePath(context->messageBuffer, EnsureReport);
    moduleState.pathCallback(context->messageBuffer, PathCutLast);
    return 1;
}

// The host's path callback as the joins ask it.
size_t HostSeparators(char* text) { return moduleState.pathCallback(text, PathSeparatorCount); }
char* HostNamePart(char* path) { return reinterpret_cast<char*>(moduleState.pathCallback(path, PathNamePart)); }

// True when path names something below its root: at least one "\" after a
// drive's "X:", at least two after a UNC path's leading "\\" (server, share).
// A target without one cannot be made, and EnsurePath refuses it unreported.
bool NamesItemBelowRoot(char* path) {
    if (path[0] == '\0' || path[1] == '\0') return false;
    size_t least = path[0] == '\\' ? 2 : 1;
    return HostSeparators(path + 2) >= least;
}

// Rename to messageBuffer. A target ending with "\" names a folder: the item
// keeps its own name there. Returns 1 whether or not the move succeeded.
ULONG_PTR RenameToTarget(HostContext* context, const char* selected, char* target, const char* ownName) {
    if ((context->options & OptionToggleOnEnd) && moduleState.modeWord == 0) context->options ^= OptionToggled;
    if (*target == '\0') CopyToEnd(target, ownName, MessageLimit(context));  // room checked before
    if (MoveFileA(selected, context->messageBuffer)) return 1;
    textChoice.failureSuffix = TextCannotRename;
    return ReportTargetFailure(context);
}

// Creates the empty file messageBuffer names; an existing file is opened and
// left as it is. A target ending with "\" asked for folders only. Returns 1.
ULONG_PTR CreateTarget(HostContext* context, const char* target) {
    if (*target == '\0') return 1;
    HANDLE file = CreateFileA(context->messageBuffer, 0, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return 1;
    }
    return ReportTargetFailure(context);
}

}  // namespace

// Returns 0 when the dialog was cancelled (or could not be opened, or there is
// nothing to name), 1 in every other case, a failed rename or creation
// included. messageBuffer holds the new path after success, the failed path's
// folder after a failure. The host owns context and selection.
extern "C" ULONG_PTR WINAPI CgName(HostContext* context, char** selection, int rename, HWND host,
                                   PathCallback pathCallback, KeyCallback keyCallback) {
    ClearModuleState();
    SetSlot(SlotHostWindow, reinterpret_cast<ULONG_PTR>(host));
    moduleState.context = context;
    if (!context || !selection || !selection[0] || !pathCallback) return 0;
    const char* selected = selection[0];
    char* buffer = context->messageBuffer;
    if (!CopyToEnd(buffer, selected, MessageLimit(context))) return 0;  // not a path of this host's size
    const char* ownName = reinterpret_cast<const char*>(pathCallback(selection[0], PathNamePart));
    size_t selectedLength = strlen(selected);
    if (ownName < selected || ownName > selected + selectedLength) return 0;

    char* namePart;
    if (rename) {
        namePart = buffer + (ownName - selected);
        textChoice.nameDialogTitle = TitleNameRename;
    } else {
        namePart = ProposeName(buffer, HostBufferSize, *ownName != '\0', NewFileName);
        if (!namePart) {
            // No name fits behind this folder: say so before any dialog, and
            // leave the folder (the failed target's folder) in messageBuffer.
            buffer[selectedLength] = '\0';
            EnsurePath(buffer, EnsureReport);
            return 1;
        }
    }
    moduleState.pathCallback = pathCallback;
    moduleState.workPointer = namePart;
    moduleState.keyCallback = keyCallback;

    INT_PTR answer = DialogBoxParamA(moduleState.moduleInstance, MAKEINTRESOURCEA(TemplateName), host,
                                     SharedDialogProc, RoleName);
    if (answer <= 0) return 0;

    if (namePart[0] == '.' && namePart[1] == '.') {
        PathQueries queries = {HostSeparators, HostNamePart};
        namePart = ClimbOneLevel(buffer, HostBufferSize, namePart, queries);
    }
    if (rename && !OwnNameFits(buffer, HostBufferSize, ownName)) {
        textChoice.failureSuffix = TextCannotRename;
        return ReportTargetFailure(context);  // the folder named, no room for the item's name in it
    }
    if (!NamesItemBelowRoot(buffer)) {
        // A share root renamed gives "\\server\name": no share to put it in.
        if (rename) textChoice.failureSuffix = TextCannotRename;
        return ReportTargetFailure(context);
    }
    char* target = EnsurePath(buffer, EnsureParents);
    if (!target) {
        pathCallback(buffer, PathCutLast);
        return 1;
    }
    return rename ? RenameToTarget(context, selected, target, ownName) : CreateTarget(context, target);
}
