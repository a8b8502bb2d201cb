// Status text and the copy run's message pump.
#pragma once
#include <windows.h>

// Outcome codes of a run; bit 0 asks for a closing sentence, bit 1 picks it,
// bits 4-6 are the beep and box type, bits 0-2 the system icon.
enum OutcomeCode : DWORD { OutcomeCancelled = 9, OutcomeErrors = 51, OutcomeClean = 68 };

// Writes the status text (progress window's slot 2 control on every call; without
// it, messageBuffer, only when code asks for a closing sentence), dispatches at
// most 16 queued messages, reads ESC. code: 0 during the run, the OutcomeCode at
// the end. Returns OpFlags & OpRunning: nonzero while the run may go on.
DWORD PumpProgress(DWORD code);
