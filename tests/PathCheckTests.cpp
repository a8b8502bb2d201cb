// Rooted-path check, folder creation and its failure report, and the name check,
// on real folders in code page 932.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include "HostKit.h"
#include "ModuleState.h"
#include "PathCheck.h"
#include "Texts.h"
#include "TestFolders.h"

namespace {

const char Suffix[] = " は\r\n作成出来ません。";
const char So[] = "ソ";    // 0x83 0x5C: its trail byte is "\"
const char Po[] = "ポ";    // 0x83 0x7C: its trail byte is "|"

bool IsFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void MakeFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
    CloseHandle(file);
}

// A command's state over a host session, with a fresh folder to work in.
class PathCheck : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(OpenHostSession(session));
        ClearModuleState();
        moduleState.context = session.context;
        SetSlot(SlotHostWindow, reinterpret_cast<ULONG_PTR>(session.window));
        char temp[MAX_PATH];
        ASSERT_NE(0u, GetTempPathA(sizeof temp, temp));
        base = std::string(temp) + "tavi-d-" + std::to_string(GetCurrentProcessId()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        RemoveTree(base);
        ASSERT_TRUE(CreateDirectoryA(base.c_str(), nullptr)) << base;
    }
    void TearDown() override {
        RemoveTree(base);
        CloseHostSession(session);
    }
    // Puts text into pathBuffer and runs EnsurePath on it.
    char* Ensure(const std::string& text, int mode) {
        char* buffer = session.context->pathBuffer;
        EXPECT_LT(text.size(), size_t(HostBufferSize));
        strcpy(buffer, text.c_str());
        return EnsurePath(buffer, mode);
    }
    std::string PathBuffer() const { return session.context->pathBuffer; }
    std::string Box(const std::string& path, const char* suffix = Suffix) const {
        return std::string(" Tavimore | ") + path + suffix;
    }
    void ExpectCounts(DWORD created, DWORD seen) const {
        EXPECT_EQ(created, moduleState.counters.foldersCreated);
        EXPECT_EQ(seen, moduleState.counters.foldersSeen);
        EXPECT_EQ(0u, moduleState.counters.filesSeen + moduleState.counters.filesCopied + moduleState.counters.errors);
    }
    HostSession session;
    std::string base;
};

TEST_F(PathCheck, PathsWithoutAnAcceptedRootGiveNullSilently) {
    const char* table[] = {"\\\\srv", "abc", "\\abc", "", "C:abc", "1:x\\y",
                           "\\\\srv\\", "\\\\srv\\\\x", "\\\\\\share\\x"};  // empty share or server
    for (const char* text : table) {
        for (int mode : {EnsureRootExists, EnsureFolder, EnsureParents}) {
            EXPECT_EQ(nullptr, Ensure(text, mode)) << text << " mode " << mode;
            EXPECT_EQ(text, PathBuffer()) << "left unchanged";
        }
    }
    EXPECT_TRUE(session.boxes.empty());
    ExpectCounts(0, 0);
}

TEST_F(PathCheck, FolderModeClosesRootsWithoutTouchingTheDisk) {
    const struct { const char* text; const char* after; } table[] = {
        {"Q:", "Q:\\"},                        // no such drive: nothing is tested
        {"\\\\srv\\share", "\\\\srv\\share\\"},
        {"C:\\", "C:\\"},
        {"\\\\srv\\share\\", "\\\\srv\\share\\"},
    };
    for (auto& row : table) {
        char* result = Ensure(row.text, EnsureFolder);
        EXPECT_EQ(row.after, PathBuffer()) << row.text;
        EXPECT_EQ(session.context->pathBuffer + strlen(row.after), result) << row.text;
    }
    EXPECT_TRUE(session.boxes.empty());
    ExpectCounts(0, 0);
}

TEST_F(PathCheck, RootModeTestsOnlyTheRoot) {
    DWORD drives = GetLogicalDrives();
    char missing = 0;
    for (char letter = 'Q'; letter <= 'Y' && !missing; ++letter)
        if (!(drives & (1u << (letter - 'A')))) missing = letter;
    ASSERT_NE(0, missing);
    std::string absent = std::string(1, missing) + ":\\x\\y";
    const struct { std::string text; size_t result; } table[] = {
        {"C:\\no such folder\\y", 3},   // C: exists; the folder does not matter
        {base + "\\sub", 3},
        {"C:", 2},
        {absent, 0},
        {"\\\\srv\\share\\x", 0},
    };
    for (auto& row : table) {
        char* result = Ensure(row.text, EnsureRootExists);
        if (row.result) EXPECT_EQ(session.context->pathBuffer + row.result, result) << row.text;
        else EXPECT_EQ(nullptr, result) << row.text;
        EXPECT_EQ(row.text, PathBuffer());
    }
    EXPECT_FALSE(Exists(base + "\\sub"));
    EXPECT_TRUE(session.boxes.empty());
}

TEST_F(PathCheck, FolderModeCreatesEachMissingFolderAndCountsIt) {
    std::string ab = base + "\\a\\b";
    char* result = Ensure(ab, EnsureFolder);
    EXPECT_EQ(ab + "\\", PathBuffer());
    EXPECT_EQ(session.context->pathBuffer + ab.size() + 1, result);
    EXPECT_TRUE(IsFolder(base + "\\a"));
    EXPECT_TRUE(IsFolder(ab));
    ExpectCounts(2, 2);

    std::string ac = base + "\\a\\c";   // a is there now: only c is made
    EXPECT_NE(nullptr, Ensure(ac, EnsureFolder));
    ExpectCounts(3, 3);
    EXPECT_NE(nullptr, Ensure(ac + "\\", EnsureFolder));   // existing, closed by "\": nothing new
    EXPECT_NE(nullptr, Ensure(ac, EnsureFolder));
    EXPECT_EQ(ac + "\\", PathBuffer());
    ExpectCounts(3, 3);
    EXPECT_TRUE(session.boxes.empty());
}

TEST_F(PathCheck, DoubleByteNamesAreCreatedWhole) {
    std::string deep = base + "\\x" + So + "\\" + So + "y";
    EXPECT_NE(nullptr, Ensure(deep, EnsureFolder));
    EXPECT_EQ(deep + "\\", PathBuffer());
    EXPECT_TRUE(IsFolder(base + "\\x" + So));
    EXPECT_TRUE(IsFolder(deep));
    EXPECT_FALSE(Exists(base + "\\x\x83")) << "split at the trail byte";
    ExpectCounts(2, 2);

    std::string file = base + "\\p" + So + "\\q" + So + ".txt";
    char* name = Ensure(file, EnsureParents);
    EXPECT_STREQ((std::string("q") + So + ".txt").c_str(), name);
    EXPECT_TRUE(IsFolder(base + "\\p" + So));
    EXPECT_FALSE(Exists(file));
    ExpectCounts(3, 3);
}

TEST_F(PathCheck, ParentsModeStopsBeforeTheLastComponent) {
    const struct { std::string tail; const char* name; DWORD created; } table[] = {
        {"\\a\\b\\c.txt", "c.txt", 2},
        {"\\a\\b\\d.txt", "d.txt", 0},
        {"\\a\\e\\", "", 1},
    };
    DWORD total = 0;
    for (auto& row : table) {
        std::string path = base + row.tail;
        char* name = Ensure(path, EnsureParents);
        ASSERT_NE(nullptr, name) << path;
        EXPECT_STREQ(row.name, name);
        EXPECT_EQ(path, PathBuffer());
        total += row.created;
        ExpectCounts(total, total);
    }
    EXPECT_TRUE(IsFolder(base + "\\a\\b"));
    EXPECT_FALSE(Exists(base + "\\a\\b\\c.txt"));
    EXPECT_EQ(nullptr, Ensure("C:", EnsureParents)) << "no final component";
    EXPECT_EQ(nullptr, Ensure("\\\\srv\\share", EnsureParents)) << "no final component";
    EXPECT_TRUE(session.boxes.empty());
}

TEST_F(PathCheck, FailuresAreReportedAndCutThePathAtTheFailure) {
    MakeFile(base + "\\f");
    const struct { std::string tail; int mode; std::string shown; } table[] = {
        {"\\f\\b\\c.txt", EnsureParents, "\\f"},   // the file stands where a folder is needed
        {"\\f\\b", EnsureFolder, "\\f"},
        {"\\f", EnsureFolder, "\\f"},               // an existing file is no folder
    };
    size_t boxes = 0;
    for (auto& row : table) {
        EXPECT_EQ(nullptr, Ensure(base + row.tail, row.mode)) << row.tail;
        ASSERT_EQ(++boxes, session.boxes.size()) << row.tail;
        EXPECT_EQ(Box(base + row.shown), session.boxes.back());
        EXPECT_EQ(base + row.shown, PathBuffer());
    }
    EXPECT_FALSE(Exists(base + "\\f\\b"));
    ExpectCounts(0, 0);
}

TEST_F(PathCheck, ReportModeShowsTheWholePathWithTheCommandsSuffix) {
    textChoice.failureSuffix = TextCannotRename;
    EXPECT_EQ(nullptr, Ensure("C:\\a\\" + std::string(So), EnsureReport));
    ASSERT_EQ(1u, session.boxes.size());
    EXPECT_EQ(Box("C:\\a\\" + std::string(So), " に\r\n変更出来ません。"), session.boxes[0]);
    EXPECT_EQ("C:\\a\\" + std::string(So), PathBuffer());
}

TEST_F(PathCheck, UncFolderBelowAnUnreachableShareIsReported) {
    EXPECT_EQ(nullptr, Ensure("\\\\srv\\share\\new", EnsureFolder));
    ASSERT_EQ(1u, session.boxes.size());
    EXPECT_EQ(Box("\\\\srv\\share\\new"), session.boxes[0]);
}

// Never a byte past the buffer: the closing "\" of mode 1 needs a byte that a
// full buffer does not have, and the report is composed outside the buffer.
TEST_F(PathCheck, FullBuffersAreNeverWrittenPast) {
    std::string folder = base + "\\full";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    char buffer[300];
    memset(buffer, '#', sizeof buffer);
    memcpy(buffer, folder.c_str(), folder.size() + 1);
    size_t size = folder.size() + 2;   // just room for the closing "\"
    EXPECT_EQ(buffer + folder.size() + 1, EnsurePath(buffer, EnsureFolder, size));
    EXPECT_EQ(folder + "\\", std::string(buffer));
    EXPECT_EQ('#', buffer[size]);
    memset(buffer, '#', sizeof buffer);
    memcpy(buffer, "C:\\abc", 6);  // no terminator within the buffer
    for (int mode : {EnsureReport, EnsureRootExists, EnsureFolder, EnsureParents})
        EXPECT_EQ(nullptr, EnsurePath(buffer, mode, 6)) << mode;
    EXPECT_EQ("C:\\abc#", std::string(buffer, 7));
    EXPECT_TRUE(session.boxes.empty());
}

TEST_F(PathCheck, A259BytePathIsReportedWholeAndTheNextFieldKeepsItsBytes) {
    // An existing folder of 259 bytes: its closing "\" would be byte 260.
    std::string middle = base + "\\" + std::string(100, 'a');
    std::string path = middle + "\\" + std::string(256 - middle.size(), 'b') + So;
    ASSERT_EQ(259u, path.size());
    ASSERT_TRUE(CreateDirectoryA(middle.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
    memset(session.context->workBuffer, '#', HostBufferSize);
    EXPECT_EQ(nullptr, Ensure(path, EnsureFolder));
    EXPECT_EQ(path, PathBuffer());
    ASSERT_EQ(1u, session.boxes.size());
    EXPECT_EQ(Box(path), session.boxes[0]) << "path and suffix shown whole";
    EXPECT_EQ(0u, moduleState.counters.foldersCreated);
    EXPECT_EQ(std::string(HostBufferSize, '#'), std::string(session.context->workBuffer, HostBufferSize));
}

// Every mode on 259-byte paths in a 260-byte field: the result lies inside
// the field and the byte after it is never written.
TEST_F(PathCheck, EveryModeStaysInsideTheFieldAt259Bytes) {
    DWORD drives = GetLogicalDrives();
    char missing = 0;
    for (char letter = 'Q'; letter <= 'Y' && !missing; ++letter)
        if (!(drives & (1u << (letter - 'A')))) missing = letter;
    ASSERT_NE(0, missing);
    std::string middle = base + "\\" + std::string(100, 'm');
    const int Null = -1;
    const struct { std::string text; int root, folder, parents; bool folderBox; } table[] = {
        {"\\\\" + std::string(256, 's') + "\\", Null, Null, Null, false},   // the share is still to come
        {"\\\\s\\" + std::string(255, 'h'), Null, Null, Null, true},        // no room for the closing "\"
        {std::string(1, missing) + ":\\" + std::string(256, 'd'), Null, Null, 3, true},
        {middle + "\\" + std::string(257 - middle.size(), 'f') + "\\", 3, 259, 259, false},
    };
    char buffer[HostBufferSize + 8];
    size_t boxes = 0;
    for (auto& row : table) {
        ASSERT_EQ(259u, row.text.size());
        for (int mode : {EnsureReport, EnsureRootExists, EnsureFolder, EnsureParents}) {
            SCOPED_TRACE(testing::Message() << row.text.substr(0, 12) << " mode " << mode);
            memset(buffer, '#', sizeof buffer);
            memcpy(buffer, row.text.c_str(), row.text.size() + 1);
            char* result = EnsurePath(buffer, mode, HostBufferSize);
            int expected = mode == EnsureRootExists ? row.root
                           : mode == EnsureFolder   ? row.folder
                           : mode == EnsureParents  ? row.parents
                                                    : Null;
            EXPECT_EQ(expected == Null ? nullptr : buffer + expected, result);
            EXPECT_EQ(std::string(8, '#'), std::string(buffer + HostBufferSize, 8)) << "written past the field";
            boxes += mode == EnsureReport || (mode == EnsureFolder && row.folderBox);
            EXPECT_EQ(boxes, session.boxes.size());
        }
    }
    EXPECT_TRUE(IsFolder(table[3].text));
}

// The selection the library asks for, as it sent it: Wine's edit controls
// count characters, not bytes, so reading the selection back would lose the
// byte offsets of double-byte texts.
struct SentSelection {
    HWND window;
    DWORD start, end;
    int count;
} sent;

LRESULT CALLBACK RecordSelection(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == EM_SETSEL) sent = {window, DWORD(wParam), DWORD(lParam), sent.count + 1};
    return CallWindowProcA(reinterpret_cast<WNDPROC>(GetPropA(window, "next")), window, message, wParam, lParam);
}

void WatchSelection(HWND window) {
    LONG_PTR next = SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordSelection));
    SetPropA(window, "next", reinterpret_cast<HANDLE>(next));
}

// The name check over real controls: an edit box as the name field, a
// drop-down combo box as the browser's history box.
class NameCheck : public PathCheck {
protected:
    void SetUp() override {
        PathCheck::SetUp();
        parent = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 200, nullptr, nullptr,
                                 nullptr, nullptr);
        ASSERT_NE(nullptr, parent);
        name = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 300, 20, parent, HMENU(1005), nullptr, nullptr);
        other = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 30, 300, 20, parent, HMENU(1006), nullptr, nullptr);
        combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, 0, 60, 300, 100, parent,
                                HMENU(1000), nullptr, nullptr);
        ASSERT_TRUE(name && other && combo);
        comboEdit = GetDlgItem(combo, 1001);
        ASSERT_NE(nullptr, comboEdit);
        WatchSelection(name);
        WatchSelection(comboEdit);
        SetSlot(SlotControl3, reinterpret_cast<ULONG_PTR>(name));
        std::string folder = base + "\\";
        strcpy(session.context->messageBuffer, folder.c_str());
        moduleState.workPointer = session.context->messageBuffer + folder.size();
    }
    void TearDown() override {
        DestroyWindow(parent);
        PathCheck::TearDown();
    }
    // Runs CheckName on slot with the focus on the other field first; returns
    // the field that has the focus afterwards and the selection sent to it
    // (0xFFFF when none was sent).
    int Check(int slot, HWND& focus, DWORD& start, DWORD& end) {
        SetFocus(other);
        sent = {nullptr, 0xFFFF, 0xFFFF, 0};
        int result = CheckName(slot);
        focus = GetFocus();
        EXPECT_LE(sent.count, 1);
        if (sent.count) { EXPECT_EQ(focus, sent.window); }
        start = sent.start;
        end = sent.end;
        return result;
    }
    HWND parent = nullptr, name = nullptr, other = nullptr, combo = nullptr, comboEdit = nullptr;
};

TEST_F(NameCheck, NameFieldRefusesForbiddenCharactersAndCountsLevels) {
    MakeFile(base + "\\file.txt");
    ASSERT_TRUE(CreateDirectoryA((base + "\\dir").c_str(), nullptr));
    const struct { std::string text; int accepted; DWORD modeWord; DWORD start, end; } table[] = {
        {"a|b", 0, 0, 1, 2},
        {"x", 1, 0, 0, 0},
        {"..x", 1, 1, 0, 0},
        {"sub\\x", 1, 1, 0, 0},
        {"..sub\\x", 1, 2, 0, 0},
        {std::string("x") + Po, 1, 0, 0, 0},          // trail byte 0x7C is no "|"
        {std::string("a") + So + "b", 1, 0, 0, 0},    // trail byte 0x5C is no separator
        {std::string(So) + "?", 0, 0, 2, 3},          // positions count bytes
        {"\x81\x7C", 1, 0, 0, 0},
        {"a/b", 0, 0, 1, 2}, {"a:b", 0, 0, 1, 2}, {"*", 0, 0, 0, 1}, {"ab\"", 0, 0, 2, 3},
        {"<", 0, 0, 0, 1}, {"x>", 0, 0, 1, 2},
        {"\xB1\xB2|", 0, 0, 2, 3},                    // half-width katakana are single bytes
        {"", 0, 0, 0, 0},
        {"file.txt", 0, 0, 0, 8},                     // a file already has that path
        {"dir", 1, 0, 0, 0},
    };
    for (auto& row : table) {
        moduleState.modeWord = 77;
        SetWindowTextA(name, row.text.c_str());
        HWND focus;
        DWORD start, end;
        int result = Check(SlotControl3, focus, start, end);
        EXPECT_EQ(row.accepted, result) << row.text;
        if (row.accepted) {
            EXPECT_EQ(row.modeWord, moduleState.modeWord) << row.text;
            EXPECT_EQ(other, focus) << row.text;
            EXPECT_EQ(0xFFFFu, start) << row.text << ": no selection on acceptance";
        } else {
            EXPECT_EQ(77u, moduleState.modeWord) << row.text;
            EXPECT_EQ(name, focus) << row.text;
            EXPECT_EQ(row.start, start) << row.text;
            EXPECT_EQ(row.end, end) << row.text;
        }
        EXPECT_EQ(base + "\\" + row.text, std::string(session.context->messageBuffer)) << "name read into place";
    }
    SetWindowTextA(name, "ab?d");
    EXPECT_EQ(0, CheckName(SlotControl3));
    DWORD start = 0, end = 0;
    SendMessageA(name, EM_GETSEL, WPARAM(&start), LPARAM(&end));
    EXPECT_EQ(2u, start) << "the control shows the selection";
    EXPECT_EQ(3u, end);
}

TEST_F(NameCheck, NameThatWouldBeCutIsRefusedWhole) {
    char* message = session.context->messageBuffer;
    memset(message, 'q', HostBufferSize);
    memcpy(message, "C:\\", 3);
    moduleState.workPointer = message + 250;   // ten bytes left in the field
    memset(&session.context->findData, '#', 4);
    const struct { std::string text; int accepted; } table[] = {
        {"abcdefghij", 0},
        {"abcdefghi", 1},
        {std::string(230, 'n'), 0},
    };
    for (auto& row : table) {
        SetWindowTextA(name, row.text.c_str());
        HWND focus;
        DWORD start, end;
        EXPECT_EQ(row.accepted, Check(SlotControl3, focus, start, end)) << row.text.size();
        if (!row.accepted) {
            EXPECT_EQ(0u, start);
            EXPECT_EQ(row.text.size(), end);
        }
    }
    EXPECT_EQ("abcdefghi", std::string(message + 250));
    EXPECT_EQ(std::string(4, '#'), std::string(reinterpret_cast<char*>(&session.context->findData), 4));
    moduleState.workPointer = message + 3;
    SetWindowTextA(name, std::string(223, 'n').c_str());
    EXPECT_EQ(1, CheckName(SlotControl3)) << "the longest name that is read whole";
    std::string wide;
    for (int i = 0; i < 111; ++i) wide += So;
    SetWindowTextA(name, wide.c_str());
    EXPECT_EQ(1, CheckName(SlotControl3)) << "222 bytes of double-byte characters";
    EXPECT_EQ(wide, std::string(message + 3));
    SetWindowTextA(name, (wide + So).c_str());
    EXPECT_EQ(0, CheckName(SlotControl3)) << "224 bytes";
}

TEST_F(NameCheck, DestinationTextIsScannedAfterItsRoot) {
    SetSlot(SlotControl0, reinterpret_cast<ULONG_PTR>(combo));
    const struct { std::string text; int accepted; DWORD start, end; } table[] = {
        {"C:\\a*b", 0, 4, 5},
        {"C:\\a:b", 0, 4, 5},
        {"\\\\srv\\sh|re", 0, 8, 9},
        {std::string("C:\\") + So + "\\x", 1, 0, 0},
        {std::string("C:\\") + Po, 1, 0, 0},
        {std::string("a") + Po, 1, 0, 0},          // the trail of a character at byte 1 is not scanned
        {std::string("a") + Po + "|", 0, 3, 4},
        {"C", 1, 0, 0},
        {"", 0, 0, 0},
    };
    for (auto& row : table) {
        moduleState.modeWord = 77;
        strcpy(session.context->pathBuffer, row.text.c_str());
        SetWindowTextA(combo, row.text.c_str());
        HWND focus;
        DWORD start, end;
        int result = Check(SlotControl0, focus, start, end);
        EXPECT_EQ(row.accepted, result) << row.text;
        EXPECT_EQ(77u, moduleState.modeWord) << "slot 0 leaves ModeWord alone";
        if (row.accepted || row.text.empty()) {
            EXPECT_EQ(other, focus) << row.text;
            EXPECT_EQ(0xFFFFu, start) << row.text;
        } else {
            EXPECT_EQ(comboEdit, focus) << row.text;
            EXPECT_EQ(row.start, start) << row.text;
            EXPECT_EQ(row.end, end) << row.text;
        }
    }
}

}  // namespace
