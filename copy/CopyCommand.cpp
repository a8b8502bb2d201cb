// LnCopy: copy or move the selection into a folder chosen in the folder browser.
#include "Exports.h"
#include "BrowseHook.h"
#include "CopyEngine.h"
#include "ModuleState.h"
#include "PathCheck.h"
#include "PathText.h"
#include "SharedDialog.h"
#include "ShellItems.h"
#include "StandardBox.h"
#include "Texts.h"
#include <shellapi.h>
#include <shlobj.h>
#include <string.h>

namespace {

enum : DWORD {
    ErrorModeQuiet = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX,  // 0x8001
    ModeCtrl = 0x02,   // CTRL held at OK: toggle options bit 0x20
    ModeQuiet = 0x04,  // NONCONVERT held, or OK by right-click: no window
};

// Initial OpFlags: new and update (update only when options has 0x100),
// running, and below for a single selected folder.
ULONG_PTR InitialFlags(const HostContext* context, int count) {
    ULONG_PTR flags = (context->options & OptionNoNewRule) ? (OpUpdate | OpRunning) : (OpNew | OpUpdate | OpRunning);
    if (count == 1 && (context->itemAttributes & FILE_ATTRIBUTE_DIRECTORY)) flags |= OpBelow;
    return flags;
}

void StoreArguments(HostContext* context, char** selection, int count, HWND host, PathCallback pathCallback,
                    KeyCallback keyCallback) {
    moduleState.context = context;
    moduleState.pathPointer = context->pathBuffer;
    moduleState.workPointer = context->workBuffer;
    moduleState.findDataPointer = &context->findData;
    SetSlot(SlotOpFlags, InitialFlags(context, count));
    SetSlot(SlotSelectionCount, static_cast<ULONG_PTR>(count));
    moduleState.selection = selection;
    moduleState.pathCallback = pathCallback;
    moduleState.keyCallback = keyCallback;
    SetSlot(SlotHostWindow, reinterpret_cast<ULONG_PTR>(host));
}

// Lets the user choose the destination. Returns true after OK (pathBuffer holds
// the text, ModeWord the keys), false after Cancel.
bool ChooseDestination(HWND host) {
    BROWSEINFOA request = {};
    request.hwndOwner = host;
    request.ulFlags = BIF_RETURNONLYFSDIRS;
    request.lpfn = reinterpret_cast<BFFCALLBACK>(reinterpret_cast<void*>(BrowseHook));
    LPITEMIDLIST chosen = SHBrowseForFolderA(&request);
    if (!chosen) return false;
    CoTaskMemFree(chosen);
    return true;
}

// Whether the shell's destination, pathBuffer up to destinationEnd (the NUL
// behind its "\"), leaves room in the field for the second NUL the shell's
// target list needs. A destination that does not leaves no room for the
// name of any item copied into it either (a path holds at most 259 bytes).
bool ShellTargetFits(const char* destinationEnd) {
    return destinationEnd + 1 < moduleState.context->pathBuffer + HostBufferSize;
}

// Shows the target path of an item the shell did not or could not take in the
// standard box, followed by the text of a path that cannot be made.
void ReportShellTarget(const char* target) {
    char report[ShellTargetRoom + 32];
    char* end = CopyToEnd(report, target, report + sizeof report, CopyCut);
    CopyToEnd(end, TextCannotCreate, report + sizeof report, CopyCut);
    ShowStandardBox(HostWindow(), report);
}

// Calls the shell's file operation on the source list (each path with its
// NUL, then one more NUL) into the destination (pathBuffer ending in "\";
// destinationEnd its NUL, with room behind it for the second NUL).
// Returns true when the shell reports success.
bool CallShell(const char* list, char* destinationEnd) {
    destinationEnd[1] = '\0';
    SHFILEOPSTRUCTA operation = {};
    operation.hwnd = HostWindow();
    operation.wFunc = (OpFlags() & OpMove) ? FO_MOVE : FO_COPY;
    operation.pFrom = list;
    operation.pTo = moduleState.context->pathBuffer;
    operation.fFlags = (moduleState.modeWord & ModeQuiet) ? FOF_SILENT : 0;
    return SHFileOperationA(&operation) == 0;
}

// The shell's file operation on the selection into the destination. Each item
// is checked first (CheckShellItem): one that fails is not handed over, and
// the first such item is reported in the standard box; the others still go
// to the shell. After a run the shell calls a success, an item not at its
// target is a failure too, and the first one is reported unless a box has
// been shown already. Returns true only when every item was handed over and
// arrived; false also when the source list cannot be allocated (nothing is
// started then).
bool RunShellOperation(char* destinationEnd) {
    char** selection = moduleState.selection;
    DWORD count = static_cast<DWORD>(moduleState.slotTable[SlotSelectionCount]);
    SIZE_T total = 1;
    for (DWORD i = 0; i < count; ++i) total += lstrlenA(selection[i]) + 1;
    // The list, then one kind per item.
    char* list = static_cast<char*>(GlobalAlloc(GMEM_FIXED, total + count));
    if (!list) return false;
    ShellItemKind* kinds = reinterpret_cast<ShellItemKind*>(list + total);
    const char* destination = moduleState.context->pathBuffer;
    char target[ShellTargetRoom];
    bool done = true;
    char* at = list;
    for (DWORD i = 0; i < count; ++i) {
        kinds[i] = CheckShellItem(selection[i], destination, target);
        if (kinds[i] == ShellItemRefused) {
            if (done) ReportShellTarget(target);
            done = false;
            continue;
        }
        SIZE_T length = lstrlenA(selection[i]) + 1;
        memcpy(at, selection[i], length);
        at += length;
    }
    *at = '\0';
    if (at != list) {
        if (!CallShell(list, destinationEnd)) {
            done = false;  // whatever the shell reports, it shows itself
        } else {
            for (DWORD i = 0; i < count; ++i) {
                if (kinds[i] == ShellItemRefused) continue;
                ComposeShellTarget(selection[i], destination, target);
                if (ShellItemArrived(target, kinds[i])) continue;
                if (done) ReportShellTarget(target);
                done = false;
            }
        }
    }
    GlobalFree(list);
    return done;
}

// Unless OpBelow, the first selected item's name goes behind the destination,
// cut between characters when the field is full.
void AppendFirstName(char* destinationEnd) {
    if (OpFlags() & OpBelow) return;
    const char* name = reinterpret_cast<const char*>(moduleState.pathCallback(moduleState.selection[0], PathNamePart));
    if (name) CopyToEnd(destinationEnd, name, moduleState.context->pathBuffer + HostBufferSize, CopyCut);
}

ULONG_PTR RunLnCopy(HWND host) {
    if (!ChooseDestination(host)) {
        moduleState.modeWord = 0;
        return 0;
    }
    if (moduleState.keyCallback) moduleState.keyCallback(KeysBrowserReturned, 0);
    char* destinationEnd = EnsurePath(moduleState.context->pathBuffer, EnsureFolder);
    bool shell = !(OpFlags() & (OpNew | OpUpdate));
    if (destinationEnd && shell && !ShellTargetFits(destinationEnd)) {
        // No item fits into this folder: reported as a destination that
        // cannot be made (without its closing "\"), before anything is done.
        destinationEnd[-1] = '\0';
        destinationEnd = EnsurePath(moduleState.context->pathBuffer, EnsureReport);
    }
    if (!destinationEnd) {
        moduleState.modeWord = 0;
        return 0;
    }
    textChoice.moveWording = (OpFlags() & OpMove) != 0;
    if (moduleState.modeWord & ModeCtrl) moduleState.context->options ^= OptionToggled;
    if (OpFlags() & (OpNew | OpUpdate)) {
        // ESC pressed before the run (the key's "pressed since the last query"
        // bit) must not cancel it at once: read the key once now.
        GetAsyncKeyState(VK_ESCAPE);
        if (moduleState.modeWord & ModeQuiet)
            RunCopyJob(nullptr, destinationEnd);
        else
            DialogBoxParamA(moduleState.moduleInstance, MAKEINTRESOURCEA(TemplateProgress), host, SharedDialogProc,
                            reinterpret_cast<LPARAM>(destinationEnd));
    } else if (!RunShellOperation(destinationEnd)) {
        moduleState.modeWord = 0;
        return 0;
    }
    AppendFirstName(destinationEnd);
    return moduleState.modeWord;
}

}  // namespace

extern "C" ULONG_PTR WINAPI LnCopy(HostContext* context, char** selection, int count, HWND host,
                                  PathCallback pathCallback, KeyCallback keyCallback) {
    ClearModuleState();
    // The host always hands at least one item; without one there is nothing to
    // copy and no window is opened.
    if (!context || !selection || count < 1 || !pathCallback) return 0;
    StoreArguments(context, selection, count, host, pathCallback, keyCallback);
    UINT previousMode = SetErrorMode(ErrorModeQuiet);
    ULONG_PTR result = RunLnCopy(host);
    SetErrorMode(previousMode);
    return result;
}
