// The command line of tavihost.exe: the command, the host's settings and the
// scripted user's actions, checked whole against the option table
// (Options.h) before anything runs.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "ScriptRun.h"

// How an export's third argument and result are treated.
enum CommandKind { KindLnCopy, KindAsText, KindCgName, KindDtTime };

struct CommandRule {
    const wchar_t* name;
    const char* exportName;
    CommandKind kind;
};

struct HostRun {
    const CommandRule* command = nullptr;
    DWORD options = 0;
    DWORD format = CF_TEXT;
    bool batch = false;
    bool keysGiven = false;
    DWORD keys = 0;
    bool create = false;               // CgName: make a new file instead of renaming
    bool attributesGiven = false;      // --attributes: itemAttributes as given
    DWORD attributes = 0;
    ScriptRun script;                  // the scripted user's actions and settings
    std::wstring rawPath;
    std::wstring reportPath;
    std::vector<std::string> paths;    // the selection, code page 932
};

// Reads the command line into run, checking every option against the option
// table: known, taken by this command, its value of the right kind, and the
// dialog actions in an order the dialogs can take them (each dialog's actions
// before the next dialog's, none after its ending). Returns ExitDone or the
// usage error's code, having said which option and value are wrong.
int ParseCommandLine(int count, wchar_t** args, HostRun& run);

// Says what is wrong and the usage text on stderr; returns ExitUsage.
int UsageError(const std::string& what);
// "--pick abc" for a usage error: the option as given and its value, in UTF-8.
std::string Given(const wchar_t* option, const wchar_t* value);
