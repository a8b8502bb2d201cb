#include "Options.h"
#include "HostText.h"
#include <string.h>

namespace {

// Every option of every command. The scripted user takes the actions (rows
// with dialogs) in command-line order; a new option is a row here (and, when
// it takes a value, a name in the value lists of ./tavimore).
const OptionSpec optionTable[] = {
    // The host's settings.
    {L"--options", ForAll, 0, Continues, ValueHex, nullptr, "HEX", "initial options word of the context (default 0)"},
    {L"--format", ForAsText, 0, Continues, ValueFormat, nullptr, "N",
     "format word before the call (1, 7, 13, 0xC000-0xFFFF; default 1)"},
    {L"--keys", ForDialogs, 0, Continues, ValueNumber, nullptr, "MASK",
     "answer KeyCallback with MASK instead of the keyboard"},
    {L"--create", ForCgName, 0, Continues, ValueNone, nullptr, "", "create a new file in folder PATH"},
    {L"--attributes", ForDialogs, 0, Continues, ValueHex, nullptr, "HEX",
     "itemAttributes of the context (default: the single path's)"},
    {L"--raw", ForLnCopy | ForAsText, 0, Continues, ValueFile, nullptr, "FILE",
     "write the returned block's bytes, without terminator, to FILE"},
    {L"--report", ForAll, 0, Continues, ValueFile, nullptr, "FILE", "write what happened as UTF-8 'key: value' lines"},
    {L"--batch", ForAll, 0, Continues, ValueNone, nullptr, "", "never wait for a person: boxes closed, dialogs scripted"},
    {L"--screenshot", ForDialogs, 0, Continues, ValueFile, nullptr, "DIR", "a picture of each dialog as it opens and closes"},
    {L"--shell-answer", ForLnCopy, 0, Continues, ValueChoice, L"yes|no|cancel", "yes|no|cancel",
     "answer to the shell's own questions (default cancel)"},
    {L"--limit", ForLnCopy, 0, Continues, ValueSeconds, nullptr, "SECONDS",
     "cancel a copy still running after SECONDS (exit 7); the progress window's copy only"},
    // Any dialog.
    {L"--hold", ForDialogs, InEveryDialog, Continues, ValueKeys, nullptr, "KEY[,KEY]",
     "CTRL, SHIFT, NONCONVERT held during the next action, or at the ending when last"},
    // LnCopy, the folder browser.
    {L"--dest", ForLnCopy, InBrowser, Continues, ValuePath, nullptr, "PATH", "type PATH into the history box"},
    {L"--tree", ForLnCopy, InBrowser, Continues, ValueShellPath, nullptr, "PATH", "select PATH's folder in the tree"},
    {L"--tree-dblclick", ForLnCopy, InBrowser, Continues, ValueNone, nullptr, "", "double-click the tree's selection"},
    {L"--pick", ForLnCopy, InBrowser, Continues, ValueCount, nullptr, "N", "choose history entry N"},
    {L"--shift-pick", ForLnCopy, InBrowser, Continues, ValueCount, nullptr, "N", "choose entry N with Shift: delete it"},
    {L"--sort", ForLnCopy, InBrowser, Continues, ValueNone, nullptr, "", "sort the history ascending"},
    {L"--sort-desc", ForLnCopy, InBrowser, Continues, ValueNone, nullptr, "", "sort the history descending"},
    {L"--toggle", ForLnCopy, InBrowser, Continues, ValueBoxIds, nullptr, "ID[,ID]",
     "click check boxes 8111 move, 8112 new, 8114 update, 8118 below (0x optional)"},
    {L"--drop", ForDialogs, InBrowser | InName | InTime, Continues, ValueShellPathList, nullptr, "PATH[|PATH]",
     "drop the paths on the dialog"},
    {L"--rclick-ok", ForDialogs, InBrowser | InName | InTime, EndsDialog, ValueNone, nullptr, "", "right-click OK"},
    {L"--cancel", ForDialogs, InBrowser | InName | InTime, EndsCommand, ValueNone, nullptr, "", "click Cancel (the browser's: ends the command)"},
    // LnCopy, the progress window.
    {L"--esc-after", ForLnCopy, InProgress, Continues, ValueCount, nullptr, "N", "press ESC once N lines are listed"},
    {L"--click-after", ForLnCopy, InProgress, Continues, ValueCount, nullptr, "N", "click ESC once N lines are listed"},
    {L"--close-after", ForLnCopy, InProgress, Continues, ValueCount, nullptr, "N", "ask to close once N lines are listed"},
    {L"--end-session-after", ForLnCopy, InProgress, Continues, ValueCount, nullptr, "N",
     "send the end-of-session query once N lines are listed"},
    {L"--wait-end", ForLnCopy, InProgress, Continues, ValueNone, nullptr, "", "wait for the run's end"},
    {L"--resize", ForLnCopy, InProgress, Continues, ValueOffset, nullptr, "DX,DY", "after the run, resize the window"},
    {L"--export", ForLnCopy, InProgress, Continues, ValueChoice, L"list|status", "list|status",
     "after the run, double-click it: export the log"},
    {L"--rclick-export", ForLnCopy, InProgress, Continues, ValueChoice, L"list|status", "list|status",
     "after the run, export by the right-click menu"},
    {L"--rclick-button", ForLnCopy, InProgress, EndsDialog, ValueNone, nullptr, "", "after the run, right-click the button"},
    // CgName, the name dialog.
    {L"--name", ForCgName, InName, Continues, ValueText, nullptr, "TEXT", "type TEXT into the name field"},
    {L"--ok", ForCgName, InName, EndsDialog, ValueNone, nullptr, "", "click OK (the default ending)"},
    // DtTime, the time dialog.
    {L"--time", ForDtTime, InTime, Continues, ValueTime, nullptr, "\"Y M D h m s ms\"",
     "type the values into the fields in turn; _ empties one"},
    {L"--creation", ForDtTime, InTime, Continues, ValueNone, nullptr, "", "click the creation time box"},
    {L"--last-write", ForDtTime, InTime, Continues, ValueNone, nullptr, "", "click the last-write time box"},
    {L"--inside", ForDtTime, InTime, Continues, ValueNone, nullptr, "", "click the box for the items inside the folder"},
    {L"--now", ForDtTime, InTime, Continues, ValueNone, nullptr, "", "click &P: the present time"},
    {L"--zero-clock", ForDtTime, InTime, Continues, ValueNone, nullptr, "", "right-click &P: the clock to 0"},
};

bool AllDigits(const wchar_t* text, size_t most) {
    size_t length = wcslen(text);
    if (length == 0 || length > most) return false;
    for (; *text; ++text)
        if (*text < L'0' || *text > L'9') return false;
    return true;
}

// Each piece of text between separators satisfies test; an empty piece does not.
template <typename Test>
bool EachPiece(const wchar_t* text, wchar_t separator, Test test) {
    std::wstring all(text);
    size_t start = 0;
    for (;;) {
        size_t end = all.find(separator, start);
        std::wstring piece = all.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (piece.empty() || !test(piece)) return false;
        if (end == std::wstring::npos) return true;
        start = end + 1;
    }
}

bool IsChoice(const wchar_t* choices, const std::wstring& value) {
    std::wstring all = std::wstring(L"|") + choices + L"|";
    return !value.empty() && all.find(L"|" + value + L"|") != std::wstring::npos;
}

bool IsTextFormat(DWORD format) {
    return format == CF_TEXT || format == CF_OEMTEXT || format == CF_UNICODETEXT ||
           (format >= 0xC000 && format <= 0xFFFF);
}

bool IsSignedNumber(const std::wstring& text) {
    const wchar_t* digits = text.c_str();
    if (*digits == L'-' || *digits == L'+') ++digits;
    return AllDigits(digits, 6);
}

}  // namespace

bool ParseNumber(const wchar_t* text, int base, DWORD* value) {
    if (text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
        text += 2;
        base = 16;
    }
    if (!*text) return false;
    unsigned long long number = 0;
    for (; *text; ++text) {
        int digit;
        if (*text >= L'0' && *text <= L'9') digit = *text - L'0';
        else if (*text >= L'a' && *text <= L'f') digit = *text - L'a' + 10;
        else if (*text >= L'A' && *text <= L'F') digit = *text - L'A' + 10;
        else return false;
        if (digit >= base) return false;
        number = number * base + digit;
        if (number > 0xFFFFFFFFull) return false;
    }
    *value = static_cast<DWORD>(number);
    return true;
}

const OptionSpec* FindOption(const wchar_t* name) {
    for (const OptionSpec& option : optionTable)
        if (SameUnits(option.name, name)) return &option;
    return nullptr;
}

const char* ValueProblem(const OptionSpec& option, const wchar_t* value) {
    DWORD number = 0;
    std::string bytes;
    switch (option.kind) {
    case ValueNone: return nullptr;
    case ValueHex: return ParseNumber(value, 16, &number) ? nullptr : "not a 32-bit hexadecimal number";
    case ValueNumber: return ParseNumber(value, 10, &number) ? nullptr : "not a 32-bit number";
    case ValueCount: return AllDigits(value, 9) ? nullptr : "not a decimal count";
    case ValueSeconds:
        return AllDigits(value, 7) && ParseNumber(value, 10, &number) && number >= 1 && number <= 2000000
                   ? nullptr : "not a number of seconds from 1 to 2000000";
    case ValueFormat:
        return ParseNumber(value, 10, &number) && IsTextFormat(number) ? nullptr
                                                                        : "not a text format (1, 7, 13, 0xC000-0xFFFF)";
    case ValueFile: return *value ? nullptr : "an empty file name";
    case ValuePath:
        if (!*value) return "an empty path";
        return ExactCodePage932(value, &bytes) ? nullptr : "has characters that code page 932 cannot hold exactly";
    case ValuePathList:
        return EachPiece(value, L'|', [&bytes](const std::wstring& path) { return ExactCodePage932(path.c_str(), &bytes); })
                   ? nullptr : "not paths that code page 932 holds exactly, joined by |";
    // The shell hands the library names code page 932 cannot hold, and paths
    // of any length: these options carry them, so tests can do the same.
    case ValueShellPath: return *value ? nullptr : "an empty path";
    case ValueShellPathList:
        return EachPiece(value, L'|', [](const std::wstring&) { return true; }) ? nullptr : "an empty path in the list";
    case ValueText:
        return ExactCodePage932(value, &bytes) ? nullptr : "has characters that code page 932 cannot hold exactly";
    case ValueBoxIds:
        return EachPiece(value, L',', [](const std::wstring& given) {
                   bool prefixed = given.size() > 2 && given[0] == L'0' && (given[1] == L'x' || given[1] == L'X');
                   std::wstring id = prefixed ? given.substr(2) : given;
                   return id == L"8111" || id == L"8112" || id == L"8114" || id == L"8118";
               }) ? nullptr : "not check box ids (8111, 8112, 8114, 8118) joined by ,";
    case ValueKeys:
        return EachPiece(value, L',', [](const std::wstring& key) {
                   return key == L"CTRL" || key == L"SHIFT" || key == L"NONCONVERT";
               }) ? nullptr : "not keys (CTRL, SHIFT, NONCONVERT) joined by ,";
    case ValueChoice: return IsChoice(option.choices, value) ? nullptr : "not one of the choices";
    case ValueTime: {
        int count = 0;
        bool good = EachPiece(value, L' ', [&count](const std::wstring& part) {
            ++count;
            return part == L"_" || AllDigits(part.c_str(), 9);
        });
        return good && count <= 7 ? nullptr : "not one to seven values (digits or _) joined by single spaces";
    }
    case ValueOffset: {
        int count = 0;
        bool good = EachPiece(value, L',', [&count](const std::wstring& part) {
            ++count;
            return IsSignedNumber(part);
        });
        return good && count == 2 ? nullptr : "not DX,DY";
    }
    }
    return "not valid";
}

std::string UsageText() {
    std::string text =
        "usage: tavihost.exe COMMAND [options] PATH...\n"
        "commands:\n"
        "  AsText FILE     the file's text, as the host application receives it\n"
        "  LnCopy PATH...  copy or move the paths into a folder chosen in the browser\n"
        "  CgName PATH     rename PATH, or with --create make a new file in folder PATH\n"
        "  DtTime PATH...  set the creation or last-write time of the paths\n"
        "options (commands; the dialog actions are taken in the order given):\n";
    static const struct { unsigned bit; const char* name; } commands[] = {
        {ForLnCopy, "LnCopy"}, {ForAsText, "AsText"}, {ForCgName, "CgName"}, {ForDtTime, "DtTime"}};
    for (const OptionSpec& option : optionTable) {
        std::string line = "  ";
        for (const wchar_t* c = option.name; *c; ++c) line += static_cast<char>(*c);
        if (*option.valueName) line += std::string(" ") + option.valueName;
        line.resize(line.size() < 30 ? 30 : line.size() + 1, ' ');
        line += option.help;
        std::string which;
        if (option.commands != ForAll)
            for (const auto& command : commands)
                if (option.commands & command.bit) which += (which.empty() ? "" : ",") + std::string(command.name);
        if (!which.empty()) line += " [" + which + "]";
        text += line + "\n";
    }
    return text;
}
