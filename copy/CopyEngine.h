// The library's own copy and move engine.
#pragma once
#include <windows.h>

// Result of one file step.
enum StepResult { StepSkipped = 0, StepCopied = 1, StepCancelled = 9, StepFailed = 51 };

// Runs the whole job over moduleState.selection (count in slot 7) into the
// destination folder in pathBuffer. window: the progress dialog, or null for
// the quiet run. destinationEnd: the NUL after the destination's trailing "\".
void RunCopyJob(HWND window, char* destinationEnd);

// One file whose names code page 932 holds exactly. source: full source path;
// destination: start of pathBuffer holding the full destination file path;
// findData holds the source's entry on entry.
int CopyOneFile(const char* source, char* destination);
