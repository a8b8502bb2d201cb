#include "ScriptLines.h"
#include "HostText.h"

namespace {

// Lines of the script thread, handed to the host's thread under this lock:
// once handedOver is set, the thread adds none.
CRITICAL_SECTION linesLock;
bool handedOver = false;

}  // namespace

void StartScriptLines() { InitializeCriticalSection(&linesLock); }

void HandOverScriptLines() {
    EnterCriticalSection(&linesLock);
    handedOver = true;
    LeaveCriticalSection(&linesLock);
}

void ReportLine(ScriptRun& run, const char* key, const std::string& utf8Value) {
    EnterCriticalSection(&linesLock);
    if (!handedOver) run.reportLines.push_back(std::string(key) + ": " + utf8Value);
    LeaveCriticalSection(&linesLock);
}

void StderrLine(ScriptRun& run, const std::string& utf8) {
    EnterCriticalSection(&linesLock);
    if (!handedOver) run.stderrLines.push_back(utf8);
    LeaveCriticalSection(&linesLock);
}

std::string ActionText(const ScriptAction& action) {
    std::string text = CodePage932ToUtf8(WideToCodePage932(action.name));
    if (!action.value.empty()) text += " " + CodePage932ToUtf8(WideToCodePage932(action.value));
    return text;
}

void FailureLine(ScriptRun& run, const std::string& utf8) {
    EnterCriticalSection(&linesLock);
    if (!handedOver) run.failures.push_back(utf8);
    LeaveCriticalSection(&linesLock);
}

void NotDone(ScriptRun& run, const ScriptAction& action, const std::string& why) {
    std::string line = "not done: " + ActionText(action) + ": " + why;
    ReportLine(run, "script", line);
    EnterCriticalSection(&linesLock);
    if (!handedOver) {
        run.failures.push_back(line);
        run.notDone = true;
    }
    LeaveCriticalSection(&linesLock);
}
