// Pictures of the dialogs (--screenshot).
#pragma once
#include <windows.h>
#include "ScriptRun.h"

// Writes window's current picture as DIR/NN-kind-moment.bmp (./tavimore turns
// it into PNG) when --screenshot was given.
void TakeScreenshot(ScriptRun& run, HWND window, const char* kind, const char* moment);
