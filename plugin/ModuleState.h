// The library's one module-wide record. Every export stores its arguments here
// before it opens a window, so that the dialog procedure, the browser hook and
// the copy engine read them from one place. Zero at load.
#pragma once
#include "HostContext.h"

struct CopyCounters {
    DWORD errors;
    DWORD filesSeen;
    DWORD foldersSeen;
    DWORD filesCopied;
    DWORD foldersCreated;
};

enum SlotIndex {
    SlotControl0 = 0,      // browser: history combo; progress: ESC button
    SlotControl1 = 1,      // progress: result list
    SlotControl2 = 2,      // progress: status text
    SlotControl3 = 3,      // name dialog: name edit box
    SlotPreviousProc = 4,  // browser: previous window procedure
    SlotOpFlags = 5,
    SlotHostWindow = 6,
    SlotSelectionCount = 7,
    SlotCount = 8
};

enum OpFlag : DWORD {
    OpMove = 0x01,
    OpNew = 0x02,
    OpUpdate = 0x04,
    OpBelow = 0x08,
    OpRunning = 0x10,
};

struct ModuleState {
    char** selection;
    HINSTANCE moduleInstance;
    WIN32_FIND_DATAA* findDataPointer;
    char* workPointer;
    char* pathPointer;
    HostContext* context;
    KeyCallback keyCallback;
    PathCallback pathCallback;
    CopyCounters counters;
    ULONG_PTR modeWord;  // mode bits, or in LnCopy the handle of an exported log
    ULONG_PTR slotTable[SlotCount];
};

extern ModuleState moduleState;

// Wording variants chosen by a command for its own run; reset by ClearModuleState.
struct TextChoice {
    const char* failureSuffix;  // appended by EnsurePath to a path it cannot make
    bool moveWording;           // status text speaks of moving
    const char* nameDialogTitle;  // caption of the name dialog (create or rename wording)
};

extern TextChoice textChoice;

// Puts every field but moduleInstance to zero and every text to its base wording.
// Each export calls it first.
void ClearModuleState();

inline HWND SlotWindow(int slot) { return reinterpret_cast<HWND>(moduleState.slotTable[slot]); }
inline void SetSlot(int slot, ULONG_PTR value) { moduleState.slotTable[slot] = value; }
inline HWND HostWindow() { return SlotWindow(SlotHostWindow); }
inline ULONG_PTR& OpFlags() { return moduleState.slotTable[SlotOpFlags]; }
