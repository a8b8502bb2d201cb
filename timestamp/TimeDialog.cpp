#include "TimeDialog.h"
#include "ModuleState.h"
#include "TimeFields.h"
#include "SharedDialog.h"
#include <shellapi.h>
#include <string.h>

namespace {

enum : int {
    IdFirstField = 1010,
    IdYearField = 1010,
    IdMonthField = 1011,
    IdDayField = 1013,
    IdMillisecondField = 1017,
    IdLastWriteRadio = 1018,
    IdInsideBox = 1020,
    FieldTextBytes = 8,  // a field is read with at most 7 characters and the NUL
};

// Selects the whole text of field once the messages before this one are handled.
void SelectWholeText(HWND field) { PostMessageA(field, EM_SETSEL, 0, -1); }

// Puts the focus on a refused field with its text selected. Returns 0.
ULONG_PTR RefuseField(HWND field) {
    if (field) {
        SetFocus(field);
        SelectWholeText(field);
    }
    return 0;
}

// The text of field into text (FieldTextBytes bytes); "" when there is no field.
void ReadFieldText(HWND field, char* text) {
    text[0] = '\0';
    if (field) SendMessageA(field, WM_GETTEXT, FieldTextBytes, reinterpret_cast<LPARAM>(text));
}

// The file time a fill shows, by request. False when the item is not found.
bool SourceTime(int request, FILETIME* time) {
    if (request == TimeFillNow) {
        GetSystemTimeAsFileTime(time);
        return true;
    }
    const char* path = nullptr;
    bool creation;
    if (request == TimeFillFirstItem) {
        path = moduleState.selection ? moduleState.selection[0] : nullptr;
        creation = moduleState.context && (moduleState.context->options & OptionNoNewRule);
    } else {
        path = moduleState.workPointer;
        creation = request == TimeFillCreation;
    }
    WIN32_FIND_DATAA* found = moduleState.findDataPointer;
    if (!path || !found) return false;
    HANDLE search = FindFirstFileA(path, found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    *time = creation ? found->ftCreationTime : found->ftLastWriteTime;
    return true;
}

// Fill requests (0, 1, 2, 8): the source time in local time into the exchange
// record and the fields. Returns the last-write radio button, or 0 when the
// item was not found (the fields keep their text).
ULONG_PTR FillTimeFields(HWND dialog, int request) {
    FILETIME source, local;
    SYSTEMTIME shown;
    if (!SourceTime(request, &source)) return 0;
    if (!FileTimeToLocalFileTime(&source, &local) || !FileTimeToSystemTime(&local, &shown)) return 0;
    memcpy(moduleState.workPointer, &shown, sizeof shown);
    WORD members[MemberCount];
    memcpy(members, &shown, sizeof members);
    for (int i = 0; i < MemberCount; ++i) {
        HWND field = GetDlgItem(dialog, IdFirstField + i);
        if (!field) continue;  // no field for the day of the week
        if (request == TimeFillFirstItem) SendMessageA(field, EM_LIMITTEXT, TimeFieldLimit(i), 0);
        char text[12];
        wsprintfA(text, "%u", static_cast<unsigned>(members[i]));
        SetWindowTextA(field, text);
    }
    return reinterpret_cast<ULONG_PTR>(GetDlgItem(dialog, IdLastWriteRadio));
}

// Request 1010-1016: checks that one field. Returns 1 valid, 0 refused.
ULONG_PTR CheckOneField(HWND dialog, int id) {
    HWND field = GetDlgItem(dialog, id);
    char text[FieldTextBytes];
    ReadFieldText(field, text);
    unsigned value;
    if (!ReadFieldNumber(text, &value) || !IsMemberInRange(id - IdFirstField, value)) return RefuseField(field);
    return 1;
}

// Request -1: parses every field into the exchange record. Returns 1
// accepted, 0 refused (the first refused field has the focus).
ULONG_PTR ParseAllFields(HWND dialog) {
    char texts[MemberCount][FieldTextBytes];
    const char* pointers[MemberCount];
    for (int i = 0; i < MemberCount; ++i) {
        ReadFieldText(GetDlgItem(dialog, IdFirstField + i), texts[i]);
        pointers[i] = texts[i];
    }
    WORD members[MemberCount];
    memcpy(members, moduleState.workPointer, sizeof members);
    int refused = ParseTimeTexts(pointers, members);
    if (refused >= 0) return RefuseField(GetDlgItem(dialog, IdFirstField + refused));
    memcpy(moduleState.workPointer, members, sizeof members);
    return 1;
}

// The template sizes the fields for their widest value with no margins; the
// edit control's default margins depend on the font, and would hide digits.
void ClearFieldMargins(HWND dialog) {
    for (int i = 0; i < MemberCount; ++i) {
        HWND field = GetDlgItem(dialog, IdFirstField + i);
        if (field) SendMessageA(field, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(0, 0));
    }
}

}  // namespace

ULONG_PTR TimeFields(HWND dialog, int request) {
    if (!moduleState.workPointer) return 0;
    if (request < 0) return ParseAllFields(dialog);
    if (request >= IdFirstField) return CheckOneField(dialog, request);
    return FillTimeFields(dialog, request);
}

void InitTimeDialog(HWND dialog) {
    ClearFieldMargins(dialog);
    HWND lastWrite = reinterpret_cast<HWND>(TimeFields(dialog, TimeFillFirstItem));
    if (lastWrite) SendMessageA(lastWrite, BM_SETCHECK, BST_CHECKED, 0);
    if (moduleState.modeWord & 0x10)
        SetWindowPos(GetDlgItem(dialog, IdInsideBox), nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void InsideBoxClicked(HWND box) {
    moduleState.modeWord ^= 0x02;
    SendMessageA(box, BM_SETCHECK, (moduleState.modeWord >> 1) & 1, 0);
}

void TimeKindClicked(HWND button, int id) {
    moduleState.modeWord = (moduleState.modeWord & ~1u) | (static_cast<DWORD>(id) & 1);
    SendMessageA(button, BM_SETCHECK, BST_CHECKED, 0);
}

void TimeFieldNotice(HWND dialog, WORD id, WORD notification, HWND field) {
    if (notification == EN_SETFOCUS) {
        SelectWholeText(field);
        return;
    }
    if (notification != EN_CHANGE || id == IdMillisecondField || GetFocus() != field) return;
    LRESULT length = SendMessageA(field, WM_GETTEXTLENGTH, 0, 0) + (id == IdYearField ? 0 : 2);
    if (length < 4) return;
    if (TimeFields(dialog, id))
        SetFocus(GetDlgItem(dialog, id == IdMonthField ? IdDayField : id + 1));
    else
        SelectWholeText(field);
}

void TimeNowRightClick(HWND dialog) {
    for (int id = 1014; id <= IdMillisecondField; ++id) SetDlgItemTextA(dialog, id, "0");
}

// The path is fetched at workPointer (workBuffer); one that does not fit there,
// or whose name code page 932 does not hold exactly, is ignored with a beep.
void DropOnTimeDialog(HWND dialog, HDROP drop) {
    char* place = moduleState.workPointer;
    if (!place) {
        DragFinish(drop);
        return;
    }
    if (!TakeDroppedPath(drop, place, HostBufferSize)) return;
    int shift = (GetAsyncKeyState(VK_SHIFT) & 0x8000) ? TimeFillCreation : TimeFillLastWrite;
    TimeFields(dialog, shift);
}
