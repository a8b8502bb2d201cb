#include "CommandLine.h"
#include "ExitStatus.h"
#include "HostText.h"
#include "Options.h"
#include "Outputs.h"

namespace {

const CommandRule commandRules[] = {
    {L"LnCopy", "LnCopy", KindLnCopy},
    {L"AsText", "AsText", KindAsText},
    {L"CgName", "CgName", KindCgName},
    {L"DtTime", "DtTime", KindDtTime},
};

// Takes a host setting's value (already checked against its kind) into run.
void ApplySetting(HostRun& run, const std::wstring& name, const wchar_t* value) {
    if (name == L"--options") ParseNumber(value, 16, &run.options);
    else if (name == L"--format") ParseNumber(value, 10, &run.format);
    else if (name == L"--keys") run.keysGiven = ParseNumber(value, 10, &run.keys);
    else if (name == L"--raw") run.rawPath = value;
    else if (name == L"--report") run.reportPath = value;
    else if (name == L"--batch") run.batch = true;
    else if (name == L"--create") run.create = true;
    else if (name == L"--attributes") run.attributesGiven = ParseNumber(value, 16, &run.attributes);
    else if (name == L"--screenshot") run.script.screenshotDir = value;
    else if (name == L"--limit") run.script.limitSeconds = _wtoi(value);
    else if (name == L"--shell-answer")
        run.script.shellAnswer = lstrcmpW(value, L"yes") == 0 ? IDYES : lstrcmpW(value, L"no") == 0 ? IDNO : IDCANCEL;
}

// The dialogs a command opens, as In* bits (in the order it opens them).
unsigned DialogsOf(CommandKind kind) {
    switch (kind) {
    case KindLnCopy: return InBrowser | InProgress;
    case KindCgName: return InName;
    case KindDtTime: return InTime;
    case KindAsText: break;
    }
    return 0;
}

}  // namespace

int UsageError(const std::string& what) {
    WriteError(("tavihost: " + what + "\n").c_str());
    WriteError(UsageText().c_str());
    return ExitUsage;
}

std::string Given(const wchar_t* option, const wchar_t* value) {
    return WideToUtf8(value ? std::wstring(option) + L" " + value : std::wstring(option));
}

int ParseCommandLine(int count, wchar_t** args, HostRun& run) {
    if (count < 2) return UsageError("no command");
    for (const CommandRule& rule : commandRules)
        if (lstrcmpW(args[1], rule.name) == 0) run.command = &rule;
    if (!run.command) return UsageError("unknown command");
    unsigned commandBit = 1u << run.command->kind;
    unsigned dialogs = DialogsOf(run.command->kind);
    unsigned atDialog = dialogs & (0u - dialogs);  // the first dialog still open to actions
    const wchar_t* lastEnding = nullptr;
    bool optionsEnded = false;
    for (int i = 2; i < count; ++i) {
        const wchar_t* arg = args[i];
        if (!optionsEnded && lstrcmpW(arg, L"--") == 0) {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || arg[0] != L'-' || arg[1] != L'-') {
            std::string path;
            if (!PathToCodePage932(arg, &path))
                return UsageError("a path is longer than 259 bytes or has characters outside code page 932");
            run.paths.push_back(path);
            continue;
        }
        const OptionSpec* found = FindOption(arg);
        if (!found) return UsageError(Given(arg, nullptr) + ": unknown option");
        if (!(found->commands & commandBit))
            return UsageError(Given(arg, found->kind != ValueNone && i + 1 < count ? args[i + 1] : nullptr) +
                              ": not an option of " + run.command->exportName);
        const wchar_t* value = L"";
        if (found->kind != ValueNone) {
            if (i + 1 >= count) return UsageError(Given(arg, nullptr) + ": option without its value");
            value = args[++i];
            if (const char* problem = ValueProblem(*found, value))
                return UsageError(Given(arg, value) + ": " + problem);
        }
        if (!found->dialogs) {
            ApplySetting(run, arg, value);
            continue;
        }
        // The first dialog, from the one now open on, that takes the action.
        unsigned takers = found->dialogs & dialogs & ~(atDialog - 1);
        if (!takers)
            return UsageError(Given(arg, found->kind != ValueNone ? value : nullptr) + ": comes after " +
                              (lastEnding ? Given(lastEnding, nullptr) + ", which ends its dialog"
                                          : std::string("an action of a later dialog")));
        if (found->name != std::wstring(L"--hold")) {
            atDialog = takers & (0u - takers);
            if (found->endsDialog) {
                atDialog <<= 1;
                lastEnding = found->name;
            }
        }
        run.script.actions.push_back(ScriptAction{arg, value});
    }
    if (run.paths.empty()) return UsageError("no path");
    return ExitDone;
}

