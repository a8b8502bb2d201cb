#include "PumpProgress.h"
#include "ModuleState.h"
#include "StatusText.h"

namespace {

enum { PumpLimit = 16 };  // queued messages dispatched per call

StatusCounts CurrentCounts() {
    const CopyCounters& c = moduleState.counters;
    StatusCounts counts = {c.foldersCreated, c.foldersSeen, c.filesCopied, c.filesSeen, c.errors};
    return counts;
}

bool IsCloseRequest(UINT message) {
    return message == WM_CLOSE || message == WM_QUERYENDSESSION || message == WM_QUIT;
}

// Puts a close or quit request back in the queue for after the run, with its
// parameters (a quit keeps its exit code). A quit for no window goes back as a
// quit of the thread, so it still comes after every other waiting message.
void PutBack(const MSG& message) {
    if (message.message == WM_QUIT && !message.hwnd)
        PostQuitMessage(static_cast<int>(message.wParam));
    else
        PostMessageA(message.hwnd, message.message, message.wParam, message.lParam);
}

// Dispatches up to PumpLimit waiting messages of the thread. A close or quit
// request is put back and clears the whole OpFlags word, which ends the pump.
void DispatchWaitingMessages() {
    for (int i = 0; i < PumpLimit; ++i) {
        MSG message;
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return;
        if (IsCloseRequest(message.message)) {
            PutBack(message);
            OpFlags() = 0;
            return;
        }
        DispatchMessageA(&message);
    }
}

}  // namespace

DWORD PumpProgress(DWORD code) {
    HWND status = SlotWindow(SlotControl2);
    if (status) {
        char text[StatusTextSize];
        ComposeStatusText(text, sizeof text, CurrentCounts(), textChoice.moveWording, code);
        SetWindowTextA(status, text);
    } else if ((code & ClosingWanted) && moduleState.context) {
        ComposeStatusText(moduleState.context->messageBuffer, HostBufferSize, CurrentCounts(),
                          textChoice.moveWording, code);
    }
    DispatchWaitingMessages();
    if (GetAsyncKeyState(VK_ESCAPE) != 0) OpFlags() &= ~static_cast<DWORD>(OpRunning);
    return OpFlags() & OpRunning;
}
