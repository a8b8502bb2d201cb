// The scripted user's hands and eyes: waiting, reading a window's text, real
// keys (held and tapped), clicks, the keyboard focus, typing and drops.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "ScriptRun.h"

// Polls condition every 10 ms for up to ms; returns its last answer.
template <typename Condition>
bool WaitFor(Condition condition, DWORD ms = ScriptWaitMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= ms) return condition();
        Sleep(10);
    }
}

// Sends a message to a window of the host's thread, waiting at most
// ScriptWaitMs for it to be handled. Returns the result (0 after a time-out).
LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A window's text, asked of its thread: code page 932 bytes, or UTF-8.
std::string WindowTextBytes(HWND window);
std::string WindowTextUtf8(HWND window);

// Waits until the host's thread has handled what was posted to it so far, as
// a person's pause would: a mark (edit's modified flag) posted behind it is
// seen handled, rounds times over, since handled work may post more. edit is
// any edit control of the dialog; its modified flag is left set.
void SettlePosted(HWND edit, int rounds);

// Presses (down then up) the held keys of --hold around the next action.
void PressHeldKeys(ScriptRun& run);
void ReleaseHeldKeys(ScriptRun& run);
void TapKey(WORD key);
// One real key-down or key-up (SendInput), seen by every window of the display.
void SendKey(WORD key, bool up);

// A click on a button control: the button's own mouse messages, so the
// dialog sees BN_CLICKED as from the mouse.
void ClickControl(HWND control);
// A right-click: button-down and button-up on the control, whose default
// handling raises WM_CONTEXTMENU at the control's centre.
void RightClickControl(HWND control);
// Gives field the keyboard focus the way its dialog would (WM_NEXTDLGCTL).
void FocusControl(HWND dialog, HWND field);
// Types code page 932 text into an edit control one character at a time
// (WM_CHAR; a double-byte character as its two bytes), replacing the selection.
// With settleRounds, each character waits until what the dialog posted on the
// one before has been handled (SettlePosted), as a person sees the field
// before typing on: a dialog that answers a character by a posted selection
// has made it before the next character comes.
void TypeText(HWND edit, const std::string& text, int settleRounds = 0);
// Drops paths on window as the shell does for a window that accepts files: one
// WM_DROPFILES with a shell drop block of UTF-16 paths, as given (any
// characters, any length). DropHandled returns only once the window has
// handled it (so a key held for the action is still down then); DropPosted
// returns at once.
enum DropDelivery { DropPosted, DropHandled };
void DropPaths(HWND window, const std::vector<std::wstring>& paths, DropDelivery delivery = DropPosted);
// Splits "a|b|c" into its paths.
std::vector<std::wstring> SplitPathList(const std::wstring& list);
