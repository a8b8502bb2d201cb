// What the scripted user says: report lines, stderr lines and the actions it
// could not take. The script thread adds them; the host's thread takes them
// over once the script has stopped (HandOverScriptLines), and from then on a
// thread still running adds nothing.
#pragma once
#include <string>
#include "ScriptRun.h"

// Called once before the script thread starts.
void StartScriptLines();
// The lines are the host's from now on.
void HandOverScriptLines();

// Adds a "key: value" line to the report (value in UTF-8, kept on one line).
void ReportLine(ScriptRun& run, const char* key, const std::string& utf8Value);
// Adds a line for stderr in a batch run.
void StderrLine(ScriptRun& run, const std::string& utf8);
// The action could not be taken as asked: says why (stderr in every run, and
// the report's "script:" line) and marks the run not done; the dialog that
// took it is then cancelled and no further action is taken.
void NotDone(ScriptRun& run, const ScriptAction& action, const std::string& why);
// Adds a line for stderr in every run (what was not done as asked, a limit).
void FailureLine(ScriptRun& run, const std::string& utf8);
// The action's option and value as typed, in UTF-8 ("--toggle 8118").
std::string ActionText(const ScriptAction& action);
