#include "CommandLine.h"
#include "ExitStatus.h"
#include "HostText.h"
#include "Options.h"
#include "Outputs.h"
#include "HostContext.h"

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
        run.script.shellAnswer = SameUnits(value, L"yes") ? IDYES : SameUnits(value, L"no") ? IDNO : IDCANCEL;
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

bool IsBrowserAction(const ScriptAction& action) {
    const OptionSpec* option = FindOption(action.name.c_str());
    return option && (option->dialogs & InBrowser) != 0;
}

// Whether the browser's OK asks for the quiet copy, which has no window for
// --limit to cancel: NONCONVERT read at OK (the fixed key answer, or the key
// held at the browser's ending), reversed by OK given by a right-click.
bool AsksQuietCopy(const HostRun& run) {
    bool nonconvert = run.keysGiven && (run.keys & 4) != 0;
    const std::vector<ScriptAction>& actions = run.script.actions;
    for (size_t i = 0; i < actions.size() && IsBrowserAction(actions[i]); ++i) {
        const ScriptAction& action = actions[i];
        if (action.name == L"--rclick-ok") return !nonconvert;
        if (action.name != L"--hold") continue;
        size_t next = i + 1;
        while (next < actions.size() && actions[next].name == L"--hold") ++next;
        bool atOk = next == actions.size() || actions[next].name == L"--rclick-ok";
        bool held = (L"," + action.value + L",").find(L",NONCONVERT,") != std::wstring::npos;
        if (atOk && held && !run.keysGiven) nonconvert = true;
    }
    return nonconvert;
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
        if (SameUnits(args[1], rule.name)) run.command = &rule;
    if (!run.command) return UsageError("unknown command");
    unsigned commandBit = 1u << run.command->kind;
    unsigned dialogs = DialogsOf(run.command->kind);
    unsigned atDialog = dialogs & (0u - dialogs);  // the first dialog still open to actions
    const OptionSpec* lastEnding = nullptr;
    unsigned endedDialog = 0;  // the dialog the last ending ended
    bool optionsEnded = false;
    for (int i = 2; i < count; ++i) {
        const wchar_t* arg = args[i];
        if (!optionsEnded && SameUnits(arg, L"--")) {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || arg[0] != L'-' || arg[1] != L'-') {
            std::string path;
            if (!ExactCodePage932(arg, &path))
                return UsageError(WideToUtf8(arg) + ": has characters that code page 932 cannot hold exactly");
            if (path.size() >= HostBufferSize)
                return UsageError(WideToUtf8(arg) + ": longer than 259 bytes in code page 932");
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
            ApplySetting(run, found->name, value);
            continue;
        }
        // The first dialog, from the one now open on, that takes the action.
        unsigned takers = found->dialogs & dialogs & ~(atDialog - 1);
        if (!takers) {
            // An action of a later dialog after an ending that ends the command.
            bool later = lastEnding && lastEnding->ending == EndsCommand &&
                         (found->dialogs & dialogs & ~((endedDialog << 1) - 1)) != 0;
            return UsageError(Given(found->name, found->kind != ValueNone ? value : nullptr) + ": comes after " +
                              (lastEnding ? Given(lastEnding->name, nullptr) +
                                                (later ? ", which ends the command" : ", which ends its dialog")
                                          : std::string("an action of a later dialog")));
        }
        if (!SameUnits(found->name, L"--hold")) {
            atDialog = takers & (0u - takers);
            if (found->ending != Continues) {
                endedDialog = atDialog;
                atDialog = found->ending == EndsCommand ? 0 : atDialog << 1;
                lastEnding = found;
            }
        }
        // The table's own spelling, which the dialog scripts compare with.
        run.script.actions.push_back(ScriptAction{found->name, value});
    }
    if (run.paths.empty()) return UsageError("no path");
    if (run.script.limitSeconds > 0 && run.command->kind == KindLnCopy && AsksQuietCopy(run))
        return UsageError(Given(L"--limit", std::to_wstring(run.script.limitSeconds).c_str()) +
                          ": the quiet copy (NONCONVERT at OK, --keys 4) has no window to cancel; give no --limit");
    return ExitDone;
}

