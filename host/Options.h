// The options of tavihost.exe: one table that says, for each option, which
// commands take it, in which dialog the scripted user acts on it (none for a
// setting of the host), whether that action ends the dialog, and what kind of
// value it takes. The command line is parsed and checked, the scripted user's
// dialogs pick their actions, and the usage text is written from it.
#pragma once
#include <windows.h>
#include <string>

// One bit per command.
enum : unsigned {
    ForLnCopy = 1,
    ForAsText = 2,
    ForCgName = 4,
    ForDtTime = 8,
    ForDialogs = ForLnCopy | ForCgName | ForDtTime,
    ForAll = ForDialogs | ForAsText,
};

// One bit per dialog, in the order a command opens them (the browser before
// the progress window).
enum : unsigned { InBrowser = 1, InProgress = 2, InName = 4, InTime = 8, InEveryDialog = 15 };

enum ValueKind {
    ValueNone,      // a flag
    ValueHex,       // a 32-bit number, hexadecimal ("0x" optional)
    ValueNumber,    // a 32-bit number, decimal or "0x" hexadecimal
    ValueCount,     // decimal digits, at most 9
    ValueSeconds,   // decimal digits, 1 to 2000000
    ValueFormat,    // a clipboard format that holds text: 1, 7, 13, 0xC000-0xFFFF
    ValueFile,      // a file of the host (any non-empty name)
    ValuePath,      // a path handed to the library: non-empty, held exactly by code page 932
    ValuePathList,  // paths by "|", each a ValuePath
    ValueShellPath, // a path the shell hands over (tree, drop): non-empty, any characters
    ValueShellPathList,  // paths by "|", each a ValueShellPath
    ValueText,      // typed text, possibly empty, all in code page 932
    ValueBoxIds,    // hex check box ids by ",": 8111, 8112, 8114, 8118 ("0x" optional)
    ValueKeys,      // keys by ",": CTRL, SHIFT, NONCONVERT
    ValueChoice,    // one word of the row's choices
    ValueTime,      // one to seven values by spaces, each digits or "_"
    ValueOffset,    // DX,DY: two signed decimal numbers
};

// What an action does to its dialog: nothing, ends it (the next dialog may
// follow), or ends it and the command (no dialog follows: the browser's Cancel).
enum Ending { Continues, EndsDialog, EndsCommand };

struct OptionSpec {
    const wchar_t* name;   // "--dest"
    unsigned commands;     // For* bits of the commands that take it
    unsigned dialogs;      // In* bits of the dialogs acting on it; 0 for a host setting
    Ending ending;         // whether the action ends its dialog (no action of it may follow)
    ValueKind kind;
    const wchar_t* choices;  // ValueChoice: "yes|no|cancel"
    const char* valueName;   // in the usage text: "PATH"
    const char* help;        // one line of the usage text
};

// The row of an option, or null.
const OptionSpec* FindOption(const wchar_t* name);

// Null when value is one of option's kind; otherwise what a value of it must be,
// for the usage error ("not a decimal count").
const char* ValueProblem(const OptionSpec& option, const wchar_t* value);

// The usage text: commands, then every option of the table.
std::string UsageText();

// Number parsing: "0x" prefix or base given; the whole text must be a number
// that fits 32 bits.
bool ParseNumber(const wchar_t* text, int base, DWORD* value);
