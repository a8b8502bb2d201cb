// DtTime through the DLL's export, with four of its imports replaced in its
// import table: what Wine cannot show on a Linux file system becomes visible.
// FindFirstFileA and GetFileTime report a creation time of their own (Wine
// reports the last-write time there), SetFileTime records what it is asked to
// set before it passes the call on, and GetAsyncKeyState can report Shift held.
// The dialog is played from the host window's opening notice, on the dialog's
// own thread.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <string.h>
#include <functional>
#include <string>
#include <vector>
#include "HostKit.h"
#include "ImportSeam.h"

namespace {

typedef HANDLE(WINAPI* FindFirstFn)(LPCSTR, LPWIN32_FIND_DATAA);
typedef BOOL(WINAPI* GetFileTimeFn)(HANDLE, LPFILETIME, LPFILETIME, LPFILETIME);
typedef BOOL(WINAPI* SetFileTimeFn)(HANDLE, const FILETIME*, const FILETIME*, const FILETIME*);
typedef SHORT(WINAPI* KeyStateFn)(int);
typedef ULONG_PTR(WINAPI* DtTimeFn)(HostContext*, char**, int, HWND, void*, KeyCallback);

FindFirstFn realFindFirst;
GetFileTimeFn realGetFileTime;
SetFileTimeFn realSetFileTime;
KeyStateFn realKeyState;

// 2001-02-03 04:05:06.789 UTC, which Tokyo shows as 2001 2 3 13 5 6 789.
const FILETIME seamCreation = {0x7E2D6950u, 0x01C08D96u};
bool shiftHeld = false;
bool getFileTimeFails = false;

struct SetCall {
    bool creation, access, write;
    ULONGLONG value;  // of the one time given
};
std::vector<SetCall> setCalls;

ULONGLONG Ticks(const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

HANDLE WINAPI SeamFindFirst(LPCSTR pattern, LPWIN32_FIND_DATAA found) {
    HANDLE search = realFindFirst(pattern, found);
    if (search != INVALID_HANDLE_VALUE) found->ftCreationTime = seamCreation;
    return search;
}
BOOL WINAPI SeamGetFileTime(HANDLE file, LPFILETIME creation, LPFILETIME access, LPFILETIME write) {
    if (getFileTimeFails) return FALSE;
    BOOL done = realGetFileTime(file, creation, access, write);
    if (done && creation) *creation = seamCreation;
    return done;
}
BOOL WINAPI SeamSetFileTime(HANDLE file, const FILETIME* creation, const FILETIME* access, const FILETIME* write) {
    const FILETIME* given = creation ? creation : access ? access : write;
    setCalls.push_back({creation != nullptr, access != nullptr, write != nullptr, given ? Ticks(*given) : 0});
    return realSetFileTime(file, creation, access, write);
}
SHORT WINAPI SeamKeyState(int key) {
    if (key == VK_SHIFT && shiftHeld) return static_cast<SHORT>(0x8000);
    return realKeyState(key);
}

// The time fields' texts, "Y M D h m s ms".
std::string Fields(HWND dialog) {
    std::string line;
    for (int id : {1010, 1011, 1013, 1014, 1015, 1016, 1017}) {
        char text[16] = "";
        GetDlgItemTextA(dialog, id, text, sizeof text);
        line += (line.empty() ? "" : " ") + std::string(text);
    }
    return line;
}

void Drop(HWND dialog, const std::string& path) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + path.size() + 2);
    auto drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), path.c_str(), path.size() + 1);
    GlobalUnlock(block);
    SendMessageA(dialog, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
}

void TypeFields(HWND dialog, const int (&values)[7]) {
    const int ids[] = {1010, 1011, 1013, 1014, 1015, 1016, 1017};
    for (int i = 0; i < 7; ++i) SetDlgItemInt(dialog, ids[i], values[i], FALSE);
}

ULONGLONG UtcTicks(WORD y, WORD mo, WORD d, WORD h, WORD mi, WORD s, WORD ms) {
    SYSTEMTIME t = {y, mo, 0, d, h, mi, s, ms};
    FILETIME f;
    SystemTimeToFileTime(&t, &f);
    return Ticks(f);
}

class TimeSeam : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryA("Tavimore.dll");
        ASSERT_NE(nullptr, module);
        command = reinterpret_cast<DtTimeFn>(GetProcAddress(module, "DtTime"));
        realFindFirst = reinterpret_cast<FindFirstFn>(ReplaceImport(module, "KERNEL32.dll", "FindFirstFileA", reinterpret_cast<void*>(SeamFindFirst)));
        realGetFileTime = reinterpret_cast<GetFileTimeFn>(ReplaceImport(module, "KERNEL32.dll", "GetFileTime", reinterpret_cast<void*>(SeamGetFileTime)));
        realSetFileTime = reinterpret_cast<SetFileTimeFn>(ReplaceImport(module, "KERNEL32.dll", "SetFileTime", reinterpret_cast<void*>(SeamSetFileTime)));
        realKeyState = reinterpret_cast<KeyStateFn>(ReplaceImport(module, "USER32.dll", "GetAsyncKeyState", reinterpret_cast<void*>(SeamKeyState)));
        ASSERT_TRUE(realFindFirst && realGetFileTime && realSetFileTime && realKeyState);
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        path = std::string(folder) + "tavimore-seam.txt";
        ResetFile();
        setCalls.clear();
        shiftHeld = getFileTimeFails = false;
        ASSERT_TRUE(OpenHostSession(session));
    }
    void TearDown() override {
        CloseHostSession(session);
        DeleteFileA(path.c_str());
        FreeLibrary(module);
    }
    // (Re)creates the file with its last-write time 2020 1 2 3 4 5 0 in Tokyo.
    void ResetFile() {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ULONGLONG ticks = UtcTicks(2020, 1, 1, 18, 4, 5, 0);
        FILETIME written = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
        realSetFileTime(file, nullptr, nullptr, &written);
        CloseHandle(file);
    }
    // Runs DtTime on the file; play acts on the open dialog, then OK is pressed.
    // Returns the fields as they were at OK.
    std::string Run(DWORD options, const std::function<void(HWND)>& play) {
        std::string shown;
        session.onWindowOpened = [&](HWND dialog, LPARAM) {
            play(dialog);
            shown = Fields(dialog);
            SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        };
        session.context->options = options;
        char* selection[] = {&path[0], nullptr};
        EXPECT_EQ(1u, command(session.context, selection, 1, session.window, nullptr, HostKeyCallback));
        return shown;
    }
    HMODULE module = nullptr;
    DtTimeFn command = nullptr;
    std::string path;
    HostSession session;
};

const ULONGLONG lastWrite = UtcTicks(2020, 1, 1, 18, 4, 5, 0);

TEST_F(TimeSeam, TheDialogOpensWithTheLastWriteOrWithOption0x100TheCreationTime) {
    EXPECT_EQ("2020 1 2 3 4 5 0", Run(0, [](HWND) {}));
    EXPECT_EQ("2001 2 3 13 5 6 789", Run(0x100, [](HWND) {}));
    ASSERT_EQ(2u, setCalls.size());
    EXPECT_EQ(Ticks(seamCreation), setCalls[1].value);  // OK unchanged copies it into the last-write time
    EXPECT_TRUE(setCalls[1].write && !setCalls[1].creation && !setCalls[1].access);
}

TEST_F(TimeSeam, ADropFillsTheLastWriteTimeOrWithShiftTheCreationTime) {
    EXPECT_EQ("2020 1 2 3 4 5 0", Run(0, [this](HWND d) { SetDlgItemTextA(d, 1010, "2022"); Drop(d, path); }));
    shiftHeld = true;
    EXPECT_EQ("2001 2 3 13 5 6 789", Run(0, [this](HWND d) { Drop(d, path); }));
}

TEST_F(TimeSeam, ATypedCreationTimeIsAskedForInUtcAndAlone) {
    Run(0, [](HWND d) {
        TypeFields(d, {2021, 3, 4, 5, 6, 7, 8});
        SendMessageA(GetDlgItem(d, 1019), BM_CLICK, 0, 0);
    });
    ASSERT_EQ(1u, setCalls.size());
    EXPECT_TRUE(setCalls[0].creation && !setCalls[0].access && !setCalls[0].write);
    EXPECT_EQ(UtcTicks(2021, 3, 3, 20, 6, 7, 8), setCalls[0].value);
}

TEST_F(TimeSeam, TheYearZeroSetsEachTimeFromTheOther) {
    Run(0, [](HWND d) { SetDlgItemTextA(d, 1010, "0"); });
    ResetFile();
    Run(0, [](HWND d) {
        SetDlgItemTextA(d, 1010, "");
        SendMessageA(GetDlgItem(d, 1019), BM_CLICK, 0, 0);
    });
    ASSERT_EQ(2u, setCalls.size());
    EXPECT_TRUE(setCalls[0].write && !setCalls[0].creation);
    EXPECT_EQ(Ticks(seamCreation), setCalls[0].value);
    EXPECT_TRUE(setCalls[1].creation && !setCalls[1].write);
    EXPECT_EQ(lastWrite, setCalls[1].value);
}

TEST_F(TimeSeam, TheYearZeroSetsNothingWhenTheOtherTimeCannotBeRead) {
    getFileTimeFails = true;
    Run(0, [](HWND d) { SetDlgItemTextA(d, 1010, "0"); });
    EXPECT_TRUE(setCalls.empty());
}

}  // namespace
