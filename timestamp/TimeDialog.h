// The date-and-time dialog (template 103) of DtTime: filling, checking and
// reading its seven time fields, and its buttons.
#pragma once
#include <windows.h>
#include <shellapi.h>

// Requests of TimeFields besides the single-field checks (1010 to 1016).
enum TimeRequest {
    TimeParseAll = -1,       // read, check and store every field (OK)
    TimeFillLastWrite = 0,   // fill from the item at workPointer, last-write time
    TimeFillCreation = 1,    // the same, creation time (Shift held at a drop)
    TimeFillFirstItem = 2,   // set the text limits and fill from the first selected item
    TimeFillNow = 8,         // fill with the present time
};

// Fill requests return the last-write radio button (1018) after a fill, 0 when
// the item was not found; check requests return 1 valid / 0 refused, and a
// refusal has put the focus on the offending field.
ULONG_PTR TimeFields(HWND dialog, int request);

// WM_INITDIALOG of the time role: fill from the first item, mark "last write",
// show the "directly inside" box for a single folder.
void InitTimeDialog(HWND dialog);

// A notification from time field id (1010-1017): select all on focus, check and
// move on once the field has its last digit.
void TimeFieldNotice(HWND dialog, WORD id, WORD notification, HWND field);

// The "directly inside" box (1020) and the radio buttons (1018, 1019).
void InsideBoxClicked(HWND box);
void TimeKindClicked(HWND button, int id);

// Right-click on "&P": the clock fields to 0, the date kept.
void TimeNowRightClick(HWND dialog);

// WM_DROPFILES: fill from the first dropped item (creation time while Shift is
// held). Releases the drop.
void DropOnTimeDialog(HWND dialog, HDROP drop);
