// The copy engine on real folders: the new and update rules, trees, moves,
// failures, cancels, the large-file line and the 260-byte bounds. The engine is
// set up as the copy command sets it up and run without a progress window,
// with a list box in slot 1 where a test reads the log.
#include <gtest/gtest.h>
#include <algorithm>
#include <functional>
#include <string.h>
#include <string>
#include <vector>
#include "CopyEngine.h"
#include "HostKit.h"
#include "ImportSeam.h"
#include "ModuleState.h"
#include "PathText.h"

namespace {

const std::string Copied = "\x81\xA8";    // →
const std::string Replaced = "\x81\x9D";  // ◎
const std::string Made = "\x81\x9C";      // ●
const std::string Failed = "\x81\x7E";    // ×
const std::string Caption = " Tavimore | ";
const std::string ErrorsClosing = "エラー が有りました。";
const std::string CancelClosing = "キャンセル されました。";

// ---- files -----------------------------------------------------------------

bool WriteText(const std::string& path, const std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == text.size();
}

// Contents of a file, or "<missing>".
std::string ReadText(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string text(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    if (!text.empty()) ReadFile(file, &text[0], static_cast<DWORD>(text.size()), &read, nullptr);
    CloseHandle(file);
    return text;
}

bool WriteSized(const std::string& path, DWORD size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LONG high = 0;
    bool ok = SetFilePointer(file, static_cast<LONG>(size), &high, FILE_BEGIN) == size && SetEndOfFile(file);
    CloseHandle(file);
    return ok;
}

FILETIME TimeAt(DWORD high, DWORD low) {
    FILETIME time = {low, high};
    return time;
}

bool SetWriteTime(const std::string& path, FILETIME time) {
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    BOOL ok = SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
    return ok != FALSE;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
bool IsFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Links need what Win32 on Wine lacks (its CreateSymbolicLinkA does nothing).
typedef char*(CDECL* UnixNameFunction)(LPCWSTR);
std::string UnixName(const std::string& path) {
    auto unixName = reinterpret_cast<UnixNameFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    if (!unixName) return "";
    wchar_t wide[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH)) return "";
    char* name = unixName(wide);
    std::string result = name ? name : "";
    if (name) HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Starts a Unix program through Wine. Wine gives no process handle to wait on
// for it: callers poll for its effect.
bool StartUnix(std::string commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    if (process.hProcess) CloseHandle(process.hProcess);
    if (process.hThread) CloseHandle(process.hThread);
    return true;
}

bool WaitFor(const std::function<bool()>& condition) {
    for (int i = 0; i < 500; ++i) {
        if (condition()) return true;
        Sleep(10);
    }
    return false;
}

// A folder link at link (in an existing folder) that leads to target.
bool MakeFolderLink(const std::string& link, const std::string& target) {
    size_t cut = link.rfind('\\');
    std::string folder = UnixName(link.substr(0, cut));
    std::string to = UnixName(target);
    if (folder.empty() || to.empty()) return false;
    if (!StartUnix("/bin/ln -s \"" + to + "\" \"" + folder + "/" + link.substr(cut + 1) + "\"")) return false;
    return WaitFor([&] { return IsFolder(link); });
}

// Removes a tree without following folder links; links themselves go through
// a Unix rm, waited for.
void RemoveTree(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        if (RemoveDirectoryA(path.c_str()) || DeleteFileA(path.c_str())) return;
        std::string name = UnixName(path);
        if (!name.empty() && StartUnix("/bin/rm -f \"" + name + "\"")) WaitFor([&] { return !Exists(path); });
        return;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        WIN32_FIND_DATAA entry;
        HANDLE find = FindFirstFileA((path + "\\*").c_str(), &entry);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (strcmp(entry.cFileName, ".") && strcmp(entry.cFileName, ".."))
                    RemoveTree(path + "\\" + entry.cFileName);
            } while (FindNextFileA(find, &entry));
            FindClose(find);
        }
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_DIRECTORY);
        RemoveDirectoryA(path.c_str());
    } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
}

// ---- the engine's surroundings ----------------------------------------------

std::vector<std::string> ListLines(HWND list) {
    std::vector<std::string> lines;
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::string line(static_cast<size_t>(SendMessageA(list, LB_GETTEXTLEN, i, 0)), '\0');
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&line[0]));
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> Sorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A window that acts in the middle of a run: the engine's pump dispatches its
// message before every file and folder; it re-posts itself until its action ran.
const UINT WatchMessage = WM_APP + 50;
struct Watcher {
    HWND window = nullptr;
    std::function<bool()> act;  // returns true once it has done its work
    bool done = false;
};
Watcher* watcher = nullptr;

LRESULT CALLBACK WatcherProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WatchMessage && watcher && !watcher->done) {
        watcher->done = watcher->act();
        if (!watcher->done) PostMessageA(window, WatchMessage, 0, 0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void StartWatcher(Watcher& w, std::function<bool()> act) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WatcherProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "CopyEngineWatcher";
    RegisterClassA(&windowClass);
    w.window = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               windowClass.hInstance, nullptr);
    w.act = act;
    watcher = &w;
    PostMessageA(w.window, WatchMessage, 0, 0);
}

void StopWatcher(Watcher& w) {
    watcher = nullptr;
    if (w.window) DestroyWindow(w.window);
    w.window = nullptr;
}

void PressEscape(bool down) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = VK_ESCAPE;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

class CopyEngine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(OpenHostSession(session));
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        static int serial = 0;
        root = std::string(temp) + "ce" + std::to_string(GetCurrentProcessId() % 1000) + "_" + std::to_string(++serial);
        RemoveTree(root);  // left by an earlier run that was killed
        ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr)) << root;
        source = root + "\\s";
        target = root + "\\d";
        ASSERT_TRUE(CreateDirectoryA(source.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
        GetAsyncKeyState(VK_ESCAPE);  // forget any earlier press
    }
    void TearDown() override {
        if (list) DestroyWindow(list);
        RemoveTree(root);
        CloseHostSession(session);
    }

    HWND MakeList() {
        list = CreateWindowExA(0, "LISTBOX", "", WS_POPUP | WS_VSCROLL | LBS_EXTENDEDSEL, 0, 0, 400, 120, nullptr,
                               nullptr, nullptr, nullptr);
        return list;
    }

    // Sets ModuleState and the context up as the copy command does before it
    // starts the engine: destination folder with "\" in pathBuffer.
    void Prepare(DWORD flags, const std::string& destination, const std::vector<std::string>& selected,
                 DWORD options = 0) {
        ClearModuleState();
        HostContext* context = session.context;
        context->options = options;
        moduleState.context = context;
        moduleState.pathPointer = context->pathBuffer;
        moduleState.workPointer = context->workBuffer;
        moduleState.findDataPointer = &context->findData;
        SetSlot(SlotOpFlags, flags | OpRunning);
        SetSlot(SlotSelectionCount, selected.size());
        items = selected;
        selection.clear();
        for (std::string& item : items) selection.push_back(&item[0]);
        moduleState.selection = selection.data();
        moduleState.pathCallback = HostPathCallback;
        SetSlot(SlotHostWindow, reinterpret_cast<ULONG_PTR>(session.window));
        SetSlot(SlotControl1, reinterpret_cast<ULONG_PTR>(list));
        textChoice.moveWording = moveWording;
        std::string folder = destination + "\\";
        ASSERT_LT(folder.size(), 260u);
        strcpy(context->pathBuffer, folder.c_str());
        destinationEnd = context->pathBuffer + folder.size();
    }

    // Runs the job and checks what every run leaves: pathBuffer as on entry,
    // OpRunning clear.
    void Run(DWORD flags, const std::string& destination, const std::vector<std::string>& selected,
             DWORD options = 0, HWND window = nullptr) {
        Prepare(flags, destination, selected, options);
        RunCopyJob(window, destinationEnd);
        EXPECT_EQ(destination + "\\", session.context->pathBuffer);
        EXPECT_EQ(0u, OpFlags() & OpRunning);
    }

    const CopyCounters& Counters() { return moduleState.counters; }
    std::vector<std::string> Lines() { return ListLines(list); }
    std::string In(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

    HostSession session;
    std::string root, source, target;
    HWND list = nullptr;
    bool moveWording = false;
    std::vector<std::string> items;
    std::vector<char*> selection;
    char* destinationEnd = nullptr;
};

// ---- the new and update rules ----------------------------------------------

const DWORD High = 0x01D9A000;
const DWORD Low = 0x40000000;

struct RuleFile {
    const char* name;
    int destinationDelta;   // destination time = source time - delta (100 ns); 0 with noDestination
    bool noDestination;
    bool sameSize;
};

// Source times all (High, Low); the destination differs as given.
const RuleFile ruleFiles[] = {
    {"missing.txt", 0, true, true},
    {"equal.txt", 0, false, true},
    {"within.txt", 15000000, false, true},      // source newer by 1.5 s, same size
    {"resized.txt", 1, false, false},           // newer by one unit, other size
    {"older.txt", -30000000, false, false},     // source 3 s older, other size
    {"stale.txt", 50000000, false, true},       // source newer by 5 s
};

struct RuleRun {
    DWORD flags;
    DWORD options;
    const char* copied;    // names copied, in ruleFiles order, space separated
};

const RuleRun ruleRuns[] = {
    {OpNew, 0, "missing.txt"},
    {OpUpdate, 0, "resized.txt stale.txt"},
    {OpUpdate, 0x40, "within.txt resized.txt stale.txt"},
    {OpNew | OpUpdate, 0, "missing.txt resized.txt stale.txt"},
    {OpNew | OpUpdate, 0x40, "missing.txt within.txt resized.txt stale.txt"},
};

bool Listed(const char* names, const char* name) {
    return (std::string(" ") + names + " ").find(std::string(" ") + name + " ") != std::string::npos;
}

TEST_F(CopyEngine, NewAndUpdateRulesOnRealFiles) {
    MakeList();
    for (const RuleRun& run : ruleRuns) {
        SCOPED_TRACE(testing::Message() << "flags " << run.flags << " options " << run.options);
        RemoveTree(source);
        RemoveTree(target);
        ASSERT_TRUE(CreateDirectoryA(source.c_str(), nullptr) && CreateDirectoryA(target.c_str(), nullptr));
        SendMessageA(list, LB_RESETCONTENT, 0, 0);
        std::vector<std::string> selected;
        std::vector<std::string> expected;
        for (const RuleFile& file : ruleFiles) {
            std::string from = In(source, file.name), to = In(target, file.name);
            ASSERT_TRUE(WriteText(from, std::string("new ") + file.name));
            ASSERT_TRUE(SetWriteTime(from, TimeAt(High, Low)));
            if (!file.noDestination) {
                ASSERT_TRUE(WriteText(to, file.sameSize ? std::string("old ") + file.name : "old"));
                ASSERT_TRUE(SetWriteTime(to, TimeAt(High, Low - file.destinationDelta)));
            }
            selected.push_back(from);
            if (Listed(run.copied, file.name)) expected.push_back((file.noDestination ? Copied : Replaced) + to);
        }
        Run(run.flags, target, selected, run.options);
        for (const RuleFile& file : ruleFiles) {
            std::string to = In(target, file.name);
            bool copy = Listed(run.copied, file.name);
            std::string before = file.noDestination ? "<missing>"
                                 : file.sameSize     ? std::string("old ") + file.name
                                                     : "old";
            EXPECT_EQ(copy ? std::string("new ") + file.name : before, ReadText(to)) << file.name;
        }
        EXPECT_EQ(Sorted(expected), Sorted(Lines()));
        EXPECT_EQ(6u, Counters().filesSeen);
        EXPECT_EQ(expected.size(), Counters().filesCopied);
        EXPECT_EQ(0u, Counters().errors);
        EXPECT_TRUE(session.boxes.empty());  // a clean quiet run shows no box
    }
}

TEST_F(CopyEngine, AHigherHighHalfCountsNewerAtEqualSizeWithinTolerance) {
    std::string from = In(source, "f.txt"), to = In(target, "f.txt");
    ASSERT_TRUE(WriteText(from, "new!") && WriteText(to, "old!"));
    ASSERT_TRUE(SetWriteTime(from, TimeAt(High + 1, 100)));
    ASSERT_TRUE(SetWriteTime(to, TimeAt(High, 0xFFFFFF00)));  // 356 units earlier
    Run(OpUpdate, target, {from});
    EXPECT_EQ("new!", ReadText(to));
    EXPECT_EQ(1u, Counters().filesCopied);
}

TEST_F(CopyEngine, ReplacedReadOnlyAndHiddenDestinationsTakeTheSourceAttributes) {
    MakeList();
    const DWORD kinds[] = {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN,
                           FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM};
    std::vector<std::string> selected;
    for (DWORD kind : kinds) {
        std::string name = "a" + std::to_string(kind) + ".txt";
        std::string from = In(source, name), to = In(target, name);
        ASSERT_TRUE(WriteText(from, "fresh") && WriteText(to, "stale content"));
        ASSERT_TRUE(SetWriteTime(to, TimeAt(High, Low)));
        ASSERT_TRUE(SetWriteTime(from, TimeAt(High + 5, Low)));
        ASSERT_TRUE(SetFileAttributesA(to.c_str(), kind));
        selected.push_back(from);
    }
    Run(OpUpdate, target, selected);
    for (size_t i = 0; i < selected.size(); ++i) {
        std::string to = In(target, FindNamePart(selected[i].c_str()));
        EXPECT_EQ("fresh", ReadText(to)) << kinds[i];
        EXPECT_EQ(GetFileAttributesA(selected[i].c_str()), GetFileAttributesA(to.c_str())) << kinds[i];
    }
    EXPECT_EQ(3u, Counters().filesCopied);
    EXPECT_EQ(0u, Counters().errors);
}

TEST_F(CopyEngine, AFailedReplaceLeavesTheReadOnlyDestinationAsItWas) {
    MakeList();
    std::string from = In(source, "f.txt"), to = In(target, "f.txt");
    ASSERT_TRUE(WriteText(from, "fresh") && WriteText(to, "stale"));
    ASSERT_TRUE(SetWriteTime(to, TimeAt(High, Low)) && SetWriteTime(from, TimeAt(High + 5, Low)));
    ASSERT_TRUE(SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_READONLY));
    DWORD before = GetFileAttributesA(to.c_str());
    ASSERT_TRUE(before & FILE_ATTRIBUTE_READONLY);
    // Held open without sharing: both copy attempts fail.
    HANDLE held = CreateFileA(to.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    DWORD start = GetTickCount();
    Run(OpUpdate | OpMove, target, {from});
    DWORD elapsed = GetTickCount() - start;
    CloseHandle(held);
    EXPECT_EQ("stale", ReadText(to));
    EXPECT_EQ(before, GetFileAttributesA(to.c_str()));
    EXPECT_EQ("fresh", ReadText(from));  // a failed move keeps its source
    EXPECT_GE(elapsed, 12u);             // the retry waited
    ASSERT_EQ(1u, Lines().size());
    EXPECT_EQ(Failed + to, Lines()[0]);
    EXPECT_GT(SendMessageA(list, LB_GETSEL, 0, 0), 0);  // failures stay selected
    EXPECT_EQ(1u, Counters().errors);
    ASSERT_EQ(1u, session.boxes.size());
    EXPECT_EQ(0u, session.boxes[0].find(Caption));
    EXPECT_TRUE(EndsWith(session.boxes[0], ": 1   " + ErrorsClosing)) << session.boxes[0];
}

TEST_F(CopyEngine, AFolderWhereTheFileShouldGoFailsAndKeepsItsAttributes) {
    MakeList();
    std::string from = In(source, "f.txt"), to = In(target, "f.txt");
    ASSERT_TRUE(WriteText(from, "x"));
    ASSERT_TRUE(CreateDirectoryA(to.c_str(), nullptr));
    ASSERT_TRUE(SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetWriteTime(from, TimeAt(0x7F000000, 0)));  // far newer than the folder
    Run(OpUpdate | OpMove, target, {from});
    EXPECT_TRUE(IsFolder(to));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN), GetFileAttributesA(to.c_str()));
    EXPECT_EQ("x", ReadText(from));
    EXPECT_EQ(std::vector<std::string>{Failed + to}, Lines());
    EXPECT_EQ(1u, Counters().errors);
}

// ---- trees --------------------------------------------------------------------

TEST_F(CopyEngine, TreesAreCopiedDepthFirstWithEachFolderBeforeItsContents) {
    MakeList();
    std::string tree = In(source, "t");
    const char* folders[] = {"t", "t\\a", "t\\a\\b", "t\\c", "t\\e"};  // e stays empty
    for (const char* folder : folders) ASSERT_TRUE(CreateDirectoryA(In(source, folder).c_str(), nullptr));
    const char* files[] = {"t\\1.txt", "t\\a\\2.txt", "t\\a\\b\\3.txt", "t\\c\\4.txt"};
    for (const char* file : files) ASSERT_TRUE(WriteText(In(source, file), file));
    ASSERT_TRUE(SetFileAttributesA(In(source, "t\\c\\4.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
    Run(OpNew, target, {tree});
    for (const char* file : files) EXPECT_EQ(file, ReadText(In(target, file)));
    EXPECT_TRUE(IsFolder(In(target, "t\\e")));
    std::vector<std::string> lines = Lines();
    ASSERT_EQ(9u, lines.size());
    auto position = [&](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) - lines.begin();
    };
    EXPECT_EQ(0, position(Made + In(target, "t")));
    for (const char* folder : folders) {
        auto at = position(Made + In(target, folder));
        ASSERT_LT(at, 9) << folder;
        for (const char* file : files) {
            std::string name = file;
            if (name.compare(0, strlen(folder) + 1, std::string(folder) + "\\") == 0) {
                EXPECT_LT(at, position(Copied + In(target, file))) << folder << " before " << file;
            }
        }
    }
    const CopyCounters& c = Counters();
    EXPECT_EQ(5u, c.foldersSeen);
    EXPECT_EQ(5u, c.foldersCreated);
    EXPECT_EQ(4u, c.filesSeen);
    EXPECT_EQ(4u, c.filesCopied);
    EXPECT_EQ(0u, c.errors);
}

TEST_F(CopyEngine, UpdateOnlyRefreshesExistingFilesAndSkipsMissingFolders) {
    MakeList();
    ASSERT_TRUE(CreateDirectoryA(In(source, "t").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(In(source, "t\\gone").c_str(), nullptr));
    ASSERT_TRUE(WriteText(In(source, "t\\gone\\x.txt"), "x"));
    ASSERT_TRUE(WriteText(In(source, "t\\here.txt"), "new"));
    ASSERT_TRUE(WriteText(In(source, "t\\absent.txt"), "new"));
    ASSERT_TRUE(CreateDirectoryA(In(target, "t").c_str(), nullptr));
    ASSERT_TRUE(WriteText(In(target, "t\\here.txt"), "old"));
    ASSERT_TRUE(SetWriteTime(In(target, "t\\here.txt"), TimeAt(High, Low)));
    Run(OpUpdate, target, {In(source, "t")});
    EXPECT_EQ("new", ReadText(In(target, "t\\here.txt")));
    EXPECT_FALSE(Exists(In(target, "t\\absent.txt")));
    EXPECT_FALSE(Exists(In(target, "t\\gone")));
    EXPECT_EQ(std::vector<std::string>{Replaced + In(target, "t\\here.txt")}, Lines());
    EXPECT_EQ(2u, Counters().foldersSeen);  // t and gone; nothing inside gone
    EXPECT_EQ(2u, Counters().filesSeen);
    EXPECT_EQ(0u, Counters().foldersCreated);
}

TEST_F(CopyEngine, BelowPutsTheContentsStraightIntoTheChosenFolder) {
    MakeList();
    ASSERT_TRUE(CreateDirectoryA(In(source, "t").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(In(source, "t\\sub").c_str(), nullptr));
    ASSERT_TRUE(WriteText(In(source, "t\\1.txt"), "1"));
    ASSERT_TRUE(WriteText(In(source, "t\\sub\\2.txt"), "2"));
    Run(OpNew | OpBelow, target, {In(source, "t")});
    EXPECT_EQ("1", ReadText(In(target, "1.txt")));
    EXPECT_EQ("2", ReadText(In(target, "sub\\2.txt")));
    EXPECT_FALSE(Exists(In(target, "t")));
    EXPECT_EQ(1u, Counters().foldersSeen);  // sub only
    EXPECT_EQ(1u, Counters().foldersCreated);
    std::vector<std::string> expected = {Copied + In(target, "1.txt"), Made + In(target, "sub"),
                                         Copied + In(target, "sub\\2.txt")};
    EXPECT_EQ(Sorted(expected), Sorted(Lines()));
}

// ---- moves -------------------------------------------------------------------

TEST_F(CopyEngine, AMoveDeletesOnlyCopiedSourcesAndKeepsEveryFolder) {
    MakeList();
    ASSERT_TRUE(CreateDirectoryA(In(source, "t").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(In(source, "t\\sub").c_str(), nullptr));
    ASSERT_TRUE(WriteText(In(source, "t\\moved.txt"), "m"));
    ASSERT_TRUE(WriteText(In(source, "t\\sub\\moved2.txt"), "m2"));
    ASSERT_TRUE(WriteText(In(source, "t\\current.txt"), "c"));  // up to date at the destination
    ASSERT_TRUE(WriteText(In(source, "t\\blocked.txt"), "b"));  // its destination is a folder
    ASSERT_TRUE(CreateDirectoryA(In(target, "t").c_str(), nullptr));
    ASSERT_TRUE(WriteText(In(target, "t\\current.txt"), "c"));
    ASSERT_TRUE(SetWriteTime(In(target, "t\\current.txt"), TimeAt(0x7F000000, 0)));
    ASSERT_TRUE(CreateDirectoryA(In(target, "t\\blocked.txt").c_str(), nullptr));
    ASSERT_TRUE(SetWriteTime(In(source, "t\\blocked.txt"), TimeAt(0x7F000000, 0)));
    moveWording = true;
    Run(OpMove | OpNew | OpUpdate, target, {In(source, "t")});
    EXPECT_FALSE(Exists(In(source, "t\\moved.txt")));
    EXPECT_FALSE(Exists(In(source, "t\\sub\\moved2.txt")));
    EXPECT_EQ("m", ReadText(In(target, "t\\moved.txt")));
    EXPECT_EQ("m2", ReadText(In(target, "t\\sub\\moved2.txt")));
    EXPECT_EQ("c", ReadText(In(source, "t\\current.txt")));
    EXPECT_EQ("b", ReadText(In(source, "t\\blocked.txt")));
    EXPECT_TRUE(IsFolder(In(source, "t\\sub")));
    EXPECT_EQ(2u, Counters().filesCopied);
    EXPECT_EQ(1u, Counters().errors);
    ASSERT_EQ(1u, session.boxes.size());
    EXPECT_NE(std::string::npos, session.boxes[0].find(" 移動 ファイル    2 /  4")) << session.boxes[0];
}

TEST_F(CopyEngine, MovingOntoItselfNeverLosesAFile) {
    // The chosen folder is the one that holds the items, or with "below" the
    // selected folder itself: every destination is its own source.
    ASSERT_TRUE(WriteText(In(source, "f.txt"), "keep me"));
    ASSERT_TRUE(CreateDirectoryA(In(source, "t").c_str(), nullptr));
    ASSERT_TRUE(WriteText(In(source, "t\\g.txt"), "keep me too"));
    struct { DWORD flags; std::vector<std::string> selected; std::string destination; } runs[] = {
        {OpMove | OpNew | OpUpdate, {In(source, "f.txt"), In(source, "t")}, source},
        {OpMove | OpNew | OpUpdate | OpBelow, {In(source, "t")}, In(source, "t")},
        {OpMove | OpUpdate, {In(source, "F.TXT")}, source},
    };
    for (auto& run : runs) {
        SCOPED_TRACE(run.destination);
        Run(run.flags, run.destination, run.selected, 0x40);
        EXPECT_EQ("keep me", ReadText(In(source, "f.txt")));
        EXPECT_EQ("keep me too", ReadText(In(source, "t\\g.txt")));
        EXPECT_EQ(0u, Counters().filesCopied);
        EXPECT_EQ(0u, Counters().errors);
    }
}

TEST_F(CopyEngine, ASourceEntryNewerThanItsOwnFileIsNotCopiedOntoItself) {
    // The entry was read before the file changed: the rule would call it newer.
    std::string file = In(source, "f.txt");
    ASSERT_TRUE(WriteText(file, "keep me"));
    ASSERT_TRUE(CreateDirectoryA(In(source, "t").c_str(), nullptr));
    // A move never gets to the copy; a plain copy under another spelling is
    // left to CopyFileA, which refuses to copy a file onto itself.
    const struct { DWORD flags; const char* spelling; int result; } table[] = {
        {OpMove | OpNew | OpUpdate, "F.TXT", StepSkipped},
        {OpMove | OpNew | OpUpdate, "t\\..\\f.txt", StepSkipped},
        {OpNew | OpUpdate, "F.TXT", StepSkipped},
        {OpNew | OpUpdate, "t\\..\\f.txt", StepFailed},
    };
    for (auto& row : table) {
        SCOPED_TRACE(testing::Message() << row.flags << " " << row.spelling);
        Prepare(row.flags, source, {file});
        HANDLE find = FindFirstFileA(file.c_str(), &session.context->findData);
        ASSERT_NE(INVALID_HANDLE_VALUE, find);
        FindClose(find);
        session.context->findData.ftLastWriteTime.dwHighDateTime += 10;
        strcpy(session.context->pathBuffer, In(source, row.spelling).c_str());
        EXPECT_EQ(row.result, CopyOneFile(file.c_str(), session.context->pathBuffer));
        EXPECT_EQ("keep me", ReadText(file));
        EXPECT_EQ(row.result == StepFailed ? 1u : 0u, Counters().errors);
    }
}

TEST(CopyFileOnWine, CopyingAFileOntoItselfFailsAndKeepsIt) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string file = std::string(temp) + "ce_self.txt";
    ASSERT_TRUE(WriteText(file, "hello world"));
    EXPECT_FALSE(CopyFileA(file.c_str(), file.c_str(), FALSE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
    EXPECT_EQ("hello world", ReadText(file));
    DeleteFileA(file.c_str());
}

TEST_F(CopyEngine, AFolderIsNotCopiedIntoItsOwnTree) {
    MakeList();
    std::string tree = In(source, "t");
    ASSERT_TRUE(CreateDirectoryA(tree.c_str(), nullptr));
    ASSERT_TRUE(WriteText(In(tree, "f.txt"), "f"));
    // The folder itself as the destination, as spelt and in another case.
    for (const char* spelling : {"t", "T"}) {
        SCOPED_TRACE(spelling);
        SendMessageA(list, LB_RESETCONTENT, 0, 0);
        std::string destination = In(source, spelling);
        Run(OpMove | OpNew, destination, {tree});
        EXPECT_FALSE(Exists(In(tree, "t")));
        EXPECT_EQ("f", ReadText(In(tree, "f.txt")));
        EXPECT_EQ(std::vector<std::string>{Failed + In(destination, "t")}, Lines());
        EXPECT_EQ(1u, Counters().errors);
    }
}

// ---- failures ------------------------------------------------------------------

TEST_F(CopyEngine, AVanishedItemIsCountedWithoutALineAndTheRunGoesOn) {
    MakeList();
    ASSERT_TRUE(WriteText(In(source, "b.txt"), "b"));
    Run(OpNew, target, {In(source, "vanished.txt"), In(source, "b.txt")});
    EXPECT_EQ("b", ReadText(In(target, "b.txt")));
    EXPECT_EQ(std::vector<std::string>{Copied + In(target, "b.txt")}, Lines());
    EXPECT_EQ(1u, Counters().errors);
    EXPECT_EQ(1u, Counters().filesSeen);
    ASSERT_EQ(1u, session.boxes.size());
    EXPECT_TRUE(EndsWith(session.boxes[0], ": 1   " + ErrorsClosing)) << session.boxes[0];
    EXPECT_EQ(session.boxes[0].substr(Caption.size()), session.context->messageBuffer);
}

TEST_F(CopyEngine, AFolderThatCannotBeMadeSkipsItsContents) {
    MakeList();
    ASSERT_TRUE(CreateDirectoryA(In(source, "t").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(In(source, "t\\inner").c_str(), nullptr));
    ASSERT_TRUE(WriteText(In(source, "t\\inner\\x.txt"), "x"));
    ASSERT_TRUE(WriteText(In(source, "t\\y.txt"), "y"));
    ASSERT_TRUE(WriteText(In(target, "t"), "a file in the way"));
    ASSERT_TRUE(WriteText(In(source, "z.txt"), "z"));
    Run(OpNew, target, {In(source, "t"), In(source, "z.txt")});
    EXPECT_EQ("a file in the way", ReadText(In(target, "t")));
    EXPECT_EQ("z", ReadText(In(target, "z.txt")));
    std::vector<std::string> expected = {Failed + In(target, "t"), Copied + In(target, "z.txt")};
    EXPECT_EQ(expected, Lines());
    EXPECT_GT(SendMessageA(list, LB_GETSEL, 0, 0), 0);
    EXPECT_EQ(0, SendMessageA(list, LB_GETSEL, 1, 0));
    EXPECT_EQ(1u, Counters().errors);
    EXPECT_EQ(1u, Counters().foldersSeen);
    EXPECT_EQ(1u, Counters().filesSeen);  // z.txt only
    EXPECT_EQ(0u, Counters().foldersCreated);
}

// The engine's CopyFileA and CreateDirectoryA (imports of this program) fail
// the next so many calls, as for a file or folder held by another program.
typedef BOOL(WINAPI* CopyFileFn)(LPCSTR, LPCSTR, BOOL);
typedef BOOL(WINAPI* CreateDirectoryFn)(LPCSTR, LPSECURITY_ATTRIBUTES);
CopyFileFn realCopyFile;
CreateDirectoryFn realCreateDirectory;
int copyFailures = 0, createFailures = 0;

// True (and one failure used up) while failures are left.
bool StillHeld(int& failures) {
    if (failures <= 0) return false;
    --failures;
    SetLastError(ERROR_SHARING_VIOLATION);
    return true;
}
BOOL WINAPI HeldCopyFile(LPCSTR from, LPCSTR to, BOOL failIfExists) {
    return !StillHeld(copyFailures) && realCopyFile(from, to, failIfExists);
}
BOOL WINAPI HeldCreateDirectory(LPCSTR path, LPSECURITY_ATTRIBUTES security) {
    return !StillHeld(createFailures) && realCreateDirectory(path, security);
}

// failed copy attempts | failed folder attempts | log | errors
struct RetryRow {
    int copyFailures, createFailures;
    std::vector<std::string> lines;  // "D" stands for the destination folder
    DWORD errors;
};
const RetryRow retryRows[] = {
    {1, 0, {Made + "D\\t", Copied + "D\\t\\f.txt"}, 0},
    {2, 0, {Made + "D\\t", Failed + "D\\t\\f.txt"}, 1},
    {0, 1, {Made + "D\\t", Copied + "D\\t\\f.txt"}, 0},
    {0, 2, {Failed + "D\\t"}, 1},
};

TEST_F(CopyEngine, AFailedCopyOrFolderIsTriedOnceMore) {
    HMODULE program = GetModuleHandleA(nullptr);
    if (!realCopyFile) {
        realCopyFile = reinterpret_cast<CopyFileFn>(
            ReplaceImport(program, "KERNEL32.dll", "CopyFileA", reinterpret_cast<void*>(HeldCopyFile)));
        realCreateDirectory = reinterpret_cast<CreateDirectoryFn>(
            ReplaceImport(program, "KERNEL32.dll", "CreateDirectoryA", reinterpret_cast<void*>(HeldCreateDirectory)));
    }
    ASSERT_TRUE(realCopyFile && realCreateDirectory);
    MakeList();
    ASSERT_TRUE(CreateDirectoryA(In(source, "t").c_str(), nullptr));
    ASSERT_TRUE(WriteText(In(source, "t\\f.txt"), "f"));
    for (const RetryRow& row : retryRows) {
        SCOPED_TRACE(testing::Message() << "copy fails " << row.copyFailures << ", folder fails " << row.createFailures);
        RemoveTree(In(target, "t"));
        SendMessageA(list, LB_RESETCONTENT, 0, 0);
        copyFailures = row.copyFailures;
        createFailures = row.createFailures;
        Run(OpNew, target, {In(source, "t")});
        copyFailures = createFailures = 0;
        std::vector<std::string> expected;
        for (const std::string& line : row.lines) expected.push_back(line.substr(0, 2) + target + line.substr(3));
        EXPECT_EQ(expected, Lines());
        EXPECT_EQ(row.errors, Counters().errors);
        EXPECT_EQ(row.errors ? "<missing>" : "f", ReadText(In(target, "t\\f.txt")));
    }
}

// A link at the destination that leads to itself is an entry that exists but
// cannot be read (the attribute query fails, not with "not found"): it is
// never taken for a missing file, whichever rule is in force.
TEST_F(CopyEngine, AnUnreadableDestinationIsNeverTakenForAMissingOne) {
    MakeList();
    std::string from = In(source, "loop.txt"), to = In(target, "loop.txt");
    ASSERT_TRUE(WriteText(from, "new"));
    std::string link = UnixName(target) + "/loop.txt";
    ASSERT_TRUE(StartUnix("/bin/ln -s loop.txt \"" + link + "\""));
    ASSERT_TRUE(WaitFor([&] {
        return GetFileAttributesA(to.c_str()) == INVALID_FILE_ATTRIBUTES && GetLastError() != ERROR_FILE_NOT_FOUND;
    }));
    for (DWORD flags : {DWORD(OpUpdate), DWORD(OpNew | OpUpdate), DWORD(OpNew)}) {
        SendMessageA(list, LB_RESETCONTENT, 0, 0);
        Run(flags, target, {from});
        EXPECT_EQ(std::vector<std::string>{Failed + to}, Lines()) << "flags " << flags;
        EXPECT_EQ(1u, Counters().errors) << "flags " << flags;
        EXPECT_EQ(0u, Counters().filesCopied) << "flags " << flags;
    }
    EXPECT_EQ("new", ReadText(from));
    ASSERT_TRUE(StartUnix("/bin/rm -f \"" + link + "\""));
    EXPECT_TRUE(WaitFor([&] { return RemoveDirectoryA(target.c_str()) != FALSE; }));
}

// ---- cancels -----------------------------------------------------------------

TEST_F(CopyEngine, EscapeStopsTheRunAfterTheFileUnderWay) {
    const int total = 8;
    std::vector<std::string> selected;
    for (int i = 0; i < total; ++i) {
        selected.push_back(In(source, "f" + std::to_string(i) + ".txt"));
        ASSERT_TRUE(WriteText(selected.back(), "x"));
    }
    Watcher w;
    StartWatcher(w, [] {
        if (moduleState.counters.filesCopied < 3) return false;
        PressEscape(true);
        return true;
    });
    Run(OpMove | OpNew, target, selected);
    PressEscape(false);
    StopWatcher(w);
    GetAsyncKeyState(VK_ESCAPE);
    EXPECT_TRUE(w.done);
    EXPECT_EQ(3u, Counters().filesCopied);
    EXPECT_EQ(4u, Counters().filesSeen);  // the fourth was counted, then not looked at
    int moved = 0;
    for (const std::string& file : selected) {
        std::string to = In(target, FindNamePart(file.c_str()));
        EXPECT_NE(Exists(file), Exists(to)) << file;  // in one place, never lost or doubled
        moved += Exists(to);
    }
    EXPECT_EQ(3, moved);
    ASSERT_EQ(1u, session.boxes.size());
    EXPECT_TRUE(EndsWith(session.boxes[0], ": 0 " + CancelClosing)) << session.boxes[0];
}

TEST_F(CopyEngine, ACloseRequestBeforeTheRunStopsItAndDestroysTheWindow) {
    HWND window = CreateWindowExA(0, "STATIC", "progress", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr,
                                  nullptr);
    ASSERT_NE(nullptr, window);
    HWND button = CreateWindowExA(0, "BUTTON", "ES&C", WS_CHILD, 0, 0, 50, 20, window, nullptr, nullptr, nullptr);
    ASSERT_TRUE(WriteText(In(source, "a.txt"), "a"));
    Prepare(OpNew, target, {In(source, "a.txt")});
    SetSlot(SlotControl0, reinterpret_cast<ULONG_PTR>(button));
    PostMessageA(window, WM_CLOSE, 0, 0);
    RunCopyJob(window, destinationEnd);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(Exists(In(target, "a.txt")));
    EXPECT_EQ(0u, OpFlags());
    EXPECT_TRUE(session.boxes.empty());
}

TEST_F(CopyEngine, ACloseRequestMidRunIsPutBackAndEndsTheQuietRunWithoutABox) {
    std::vector<std::string> selected;
    for (int i = 0; i < 6; ++i) {
        selected.push_back(In(source, "f" + std::to_string(i) + ".txt"));
        ASSERT_TRUE(WriteText(selected.back(), "x"));
    }
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    Watcher w;
    StartWatcher(w, [other] {
        if (moduleState.counters.filesCopied < 2) return false;
        PostMessageA(other, WM_CLOSE, 0, 0);
        return true;
    });
    Run(OpNew, target, selected);
    StopWatcher(w);
    EXPECT_EQ(2u, Counters().filesCopied);
    EXPECT_EQ(0u, OpFlags());
    EXPECT_TRUE(session.boxes.empty());
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, other, WM_CLOSE, WM_CLOSE, PM_REMOVE));
    DestroyWindow(other);
}

TEST_F(CopyEngine, TheWindowGetsOkWhenTheRunEnds) {
    HWND window = CreateWindowExA(0, "STATIC", "progress", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr,
                                  nullptr);
    HWND button = CreateWindowExA(0, "BUTTON", "ES&C", WS_CHILD, 0, 0, 50, 20, window, nullptr, nullptr, nullptr);
    HWND status = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 30, 200, 60, window, nullptr, nullptr, nullptr);
    ASSERT_TRUE(WriteText(In(source, "a.txt"), "a"));
    Prepare(OpNew, target, {In(source, "vanished.txt"), In(source, "a.txt")});
    SetSlot(SlotControl0, reinterpret_cast<ULONG_PTR>(button));
    SetSlot(SlotControl2, reinterpret_cast<ULONG_PTR>(status));
    RunCopyJob(window, destinationEnd);
    ASSERT_TRUE(IsWindow(window));
    char text[200] = "";
    GetWindowTextA(button, text, sizeof text);
    EXPECT_STREQ("&OK", text);
    GetWindowTextA(status, text, sizeof text);
    EXPECT_TRUE(EndsWith(text, ErrorsClosing)) << text;
    EXPECT_TRUE(session.boxes.empty());  // the window shows the outcome, no box
    EXPECT_EQ(0u, OpFlags() & OpRunning);
    DestroyWindow(window);
}

// ---- the large-file line --------------------------------------------------------

TEST_F(CopyEngine, TheLargeFileLineShowsWhileTheFileIsCopiedThenMakesWayForItsResult) {
    MakeList();
    ASSERT_TRUE(WriteSized(In(source, "small.bin"), 2555903));
    ASSERT_TRUE(WriteSized(In(source, "big.bin"), 2555904));
    std::vector<std::vector<std::string>> seen;
    HWND log = list;
    Watcher w;
    StartWatcher(w, [&seen, log] {
        std::vector<std::string> now = ListLines(log);
        if (seen.empty() || seen.back() != now) seen.push_back(now);
        return false;
    });
    Run(OpNew, target, {In(source, "small.bin"), In(source, "big.bin")});
    StopWatcher(w);
    const std::string large = "\x81\xE2   3 MB big.bin";  // ≫
    std::vector<std::string> during = {Copied + In(target, "small.bin"), large};
    std::vector<std::string> after = {Copied + In(target, "small.bin"), Copied + In(target, "big.bin")};
    EXPECT_NE(seen.end(), std::find(seen.begin(), seen.end(), during));
    for (auto& lines : seen)
        for (auto& line : lines) EXPECT_EQ(std::string::npos, line.find("MB small.bin")) << "below the threshold";
    EXPECT_EQ(after, Lines());
    EXPECT_EQ(2u, Counters().filesCopied);
}

TEST_F(CopyEngine, TheLargeFileLineStaysInsideTheMessageBuffer) {
    MakeList();
    Prepare(OpNew, target, {In(source, "missing.bin")});
    WIN32_FIND_DATAA& entry = session.context->findData;
    memset(&entry, 0, sizeof entry);
    entry.nFileSizeHigh = 100;  // 400 GiB: six digits of units
    memset(entry.cFileName, 'n', 259);
    strcpy(session.context->pathBuffer, In(target, "missing.bin").c_str());
    std::vector<std::string> seen;
    HWND log = list;
    Watcher w;
    StartWatcher(w, [&seen, log] {
        for (auto& line : ListLines(log)) seen.push_back(line);
        return false;
    });
    EXPECT_EQ(StepFailed, CopyOneFile(In(source, "missing.bin").c_str(), session.context->pathBuffer));
    StopWatcher(w);
    const std::string head = "\x81\xE2" "419430 MB ";
    std::string expected = head + std::string(259 - head.size(), 'n');
    EXPECT_NE(seen.end(), std::find(seen.begin(), seen.end(), expected));
    EXPECT_EQ(expected, session.context->messageBuffer);
    EXPECT_EQ(std::vector<std::string>{Failed + In(target, "missing.bin")}, Lines());
}

// ---- bounds ------------------------------------------------------------------------

TEST_F(CopyEngine, ADestinationPathThatWouldNotFitIsRefusedAndTheRunGoesOn) {
    MakeList();
    // A destination folder whose path leaves room for short names only.
    std::string deep = target;
    while (deep.size() < 230) {
        deep += "\\dddddddddd";
        ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr)) << deep.size();
    }
    std::string longName = std::string(259 - deep.size() - 4, 'L') + ".txt";   // 260 bytes with "\"
    std::string shortName = std::string(258 - deep.size() - 4, 's') + ".txt";  // exactly 259
    ASSERT_TRUE(WriteText(In(source, longName), "l"));
    ASSERT_TRUE(WriteText(In(source, shortName), "s"));
    memset(session.context->workBuffer, 'Q', HostBufferSize - 1);
    session.context->workBuffer[HostBufferSize - 1] = '\0';
    Run(OpNew, deep, {In(source, longName), In(source, shortName)});
    EXPECT_EQ(std::string(HostBufferSize - 1, 'Q'), session.context->workBuffer);  // nothing spilled over
    EXPECT_EQ("s", ReadText(In(deep, shortName)));
    std::vector<std::string> lines = Lines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(Failed + In(deep, longName).substr(0, 259), lines[0]);
    EXPECT_EQ(Copied + In(deep, shortName), lines[1]);
    EXPECT_EQ(261u, lines[1].size());
    EXPECT_EQ(1u, Counters().errors);
    EXPECT_EQ(1u, Counters().filesCopied);
}

TEST_F(CopyEngine, ADeepTreeEndsAtTheBoundWithErrorsAndNothingWrittenPastIt) {
    MakeList();
    // The source tree goes deeper than its copy can: the destination is longer.
    std::string deep = In(source, "t");
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr));
    std::string longer = In(target, std::string(20, 'x'));
    ASSERT_TRUE(CreateDirectoryA(longer.c_str(), nullptr));
    int levels = 0;
    while (deep.size() + 9 < 250) {
        deep += "\\level" + std::to_string(10 + levels++);
        ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr)) << deep;
        ASSERT_TRUE(WriteText(In(deep, "f.txt"), "f"));
    }
    ASSERT_GT(deep.size() + longer.size() - source.size(), 259u);
    memset(session.context->nameBuffer, 'Q', HostBufferSize - 1);
    Run(OpNew, longer, {In(source, "t")});
    EXPECT_EQ(std::string(HostBufferSize - 1, 'Q'), std::string(session.context->nameBuffer, HostBufferSize - 1));
    for (const std::string& line : Lines()) EXPECT_LE(line.size(), 261u) << line;
    const CopyCounters& c = Counters();
    EXPECT_GE(c.errors, 1u);
    EXPECT_LT(c.foldersCreated, static_cast<DWORD>(levels) + 1) << "the bottom of the tree cannot be copied";
    EXPECT_GT(c.foldersCreated, static_cast<DWORD>(levels) / 2);
    // Every entry seen was copied or created, or counted as an error.
    EXPECT_EQ(c.filesSeen + c.foldersSeen, c.filesCopied + c.foldersCreated + c.errors);
    ASSERT_EQ(1u, session.boxes.size());
    EXPECT_TRUE(EndsWith(session.boxes[0], ErrorsClosing));
}

TEST_F(CopyEngine, ASourceFolderTooDeepForItsSearchPatternIsRefusedBeforeItIsMade) {
    MakeList();
    std::string deep = In(source, "t");
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr));
    while (deep.size() < 240) {
        deep += "\\level";
        ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr)) << deep;
    }
    // The source and destination roots have the same length: for the last
    // folders both paths fit, but "\*" no longer fits behind the source.
    std::vector<std::string> bottom;
    for (size_t size : {256u, 257u, 258u, 259u}) {
        bottom.push_back(deep + "\\" + std::string(size - deep.size() - 1, 'z'));
        ASSERT_TRUE(CreateDirectoryA(bottom.back().c_str(), nullptr)) << size;
    }
    memset(session.context->nameBuffer, 'Q', HostBufferSize - 1);
    Run(OpNew, target, {In(source, "t")});
    EXPECT_EQ(std::string(HostBufferSize - 1, 'Q'), std::string(session.context->nameBuffer, HostBufferSize - 1));
    std::string copy = target + deep.substr(source.size());
    for (size_t size : {256u, 257u})  // 257 bytes, "\*" and the NUL: exactly 260
        EXPECT_TRUE(IsFolder(copy + "\\" + std::string(size - deep.size() - 1, 'z'))) << size;
    std::vector<std::string> lines = Lines();
    for (size_t size : {258u, 259u}) {
        std::string made = copy + "\\" + std::string(size - deep.size() - 1, 'z');
        EXPECT_FALSE(Exists(made)) << size;
        EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), Failed + made)) << size;
    }
    EXPECT_EQ(2u, Counters().errors);
}

TEST_F(CopyEngine, AFolderLinkBackIntoItsOwnTreeEndsAtTheBound) {
    MakeList();
    std::string tree = In(source, "t");
    ASSERT_TRUE(CreateDirectoryA(tree.c_str(), nullptr));
    ASSERT_TRUE(WriteText(In(tree, "f.txt"), "f"));
    // A long link name, so that the 260 bytes run out before the 20 nested
    // links after which Wine stops resolving a path.
    ASSERT_TRUE(MakeFolderLink(In(tree, "back_to_the_top"), tree)) << "could not make a folder link";
    DWORD start = GetTickCount();
    Run(OpNew, target, {tree});
    DWORD elapsed = GetTickCount() - start;
    EXPECT_LT(elapsed, 20000u);
    std::vector<std::string> lines = Lines();
    for (const std::string& line : lines) EXPECT_LE(line.size(), 261u) << line;
    const CopyCounters& c = Counters();
    EXPECT_GE(Counters().errors, 1u);
    EXPECT_GE(c.foldersCreated, (259u - tree.size()) / 16);  // it went round the loop until the bound
    EXPECT_EQ(c.filesSeen + c.foldersSeen, c.filesCopied + c.foldersCreated + c.errors);
    ASSERT_EQ(1u, session.boxes.size());
    EXPECT_TRUE(EndsWith(session.boxes[0], ErrorsClosing));
}

}  // namespace
