// The plug-in frame: locale, export table, entry point, texts and the bounded
// copy helper.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include "ModuleState.h"
#include "PathText.h"
#include "Texts.h"

TEST(Platform, AnsiCodePageIsJapanese) {
    EXPECT_EQ(932u, GetACP());
}

class LoadedLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryA("Tavimore.dll");
        ASSERT_NE(nullptr, module) << GetLastError();
    }
    void TearDown() override { FreeLibrary(module); }
    HMODULE module = nullptr;
};

TEST_F(LoadedLibrary, ExportsSitAtTheirOrdinalsAndTheGapsAreEmpty) {
    const struct { int ordinal; const char* name; } table[] = {
        {6, "LnCopy"}, {7, "AsText"}, {10, "CgName"}, {12, "DtTime"}};
    for (auto& row : table) {
        FARPROC byOrdinal = GetProcAddress(module, MAKEINTRESOURCEA(row.ordinal));
        FARPROC byName = GetProcAddress(module, row.name);
        EXPECT_NE(nullptr, byName) << row.name;
        EXPECT_EQ(byName, byOrdinal) << row.name;
    }
    for (int gap : {8, 9, 11, 5, 13})
        EXPECT_EQ(nullptr, GetProcAddress(module, MAKEINTRESOURCEA(gap))) << gap;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID);

TEST(EntryPoint, RecordsTheInstanceAndAnswersOneForEveryReason) {
    const DWORD reasons[] = {DLL_PROCESS_ATTACH, DLL_THREAD_ATTACH, DLL_THREAD_DETACH, DLL_PROCESS_DETACH};
    for (DWORD reason : reasons) {
        moduleState.moduleInstance = nullptr;
        HINSTANCE instance = reinterpret_cast<HINSTANCE>(0x10000000 + reason * 0x10000);
        EXPECT_EQ(1, DllMain(instance, reason, nullptr)) << reason;
        EXPECT_EQ(instance, moduleState.moduleInstance) << reason;
    }
}

// CgName needs the host's path callback to find the name; without it the
// command opens nothing and reports that nothing was done.
TEST_F(LoadedLibrary, CgNameWithoutPathCallbackReportsNothingDone) {
    typedef ULONG_PTR(WINAPI * Export)(void*, void*, ULONG_PTR, HWND, void*, void*);
    HostContext context = {};
    char path[] = "C:\\";
    char* selection[] = {path};
    for (const char* name : {"CgName"}) {
        auto command = reinterpret_cast<Export>(GetProcAddress(module, name));
        ASSERT_NE(nullptr, command);
        EXPECT_EQ(0u, command(&context, selection, 1, nullptr, nullptr, nullptr)) << name;
    }
}

#include "SharedDialog.h"

// The progress dialog's initialisation value is a position in the host's
// pathBuffer: in a large-address-aware host its top bit may be set, and it
// must still open the progress role and hand the copy that very position.
TEST_F(LoadedLibrary, InitialisationValuesWithTheTopBitSetOpenTheProgressRole) {
    const ULONG_PTR topBit = ULONG_PTR(1) << (sizeof(ULONG_PTR) * 8 - 1);
    const struct { ULONG_PTR value; bool progress; } table[] = {
        {0, false}, {1, false}, {3, true}, {0x80000000u, true}, {topBit, true}, {~ULONG_PTR(0), true}};
    for (auto& row : table) {
        ClearModuleState();
        HWND dialog = CreateDialogParamA(module, MAKEINTRESOURCEA(TemplateProgress), nullptr, SharedDialogProc,
                                         static_cast<LPARAM>(row.value));
        ASSERT_NE(nullptr, dialog) << row.value;
        char caption[64] = "";
        GetWindowTextA(dialog, caption, sizeof caption);
        MSG posted = {};
        bool started = PeekMessageA(&posted, dialog, WM_APP_STARTCOPY, WM_APP_STARTCOPY, PM_REMOVE) != 0;
        DestroyWindow(dialog);
        EXPECT_STREQ(row.progress ? TitleProgressCopy : TitleNameCreate, caption) << std::hex << row.value;
        EXPECT_EQ(row.progress, started) << std::hex << row.value;
        if (started) EXPECT_EQ(row.value, static_cast<ULONG_PTR>(posted.lParam)) << std::hex << row.value;
    }
    MSG rest;
    while (PeekMessageA(&rest, nullptr, 0, 0, PM_REMOVE)) {}
    ClearModuleState();
}

TEST(Texts, ByteLengthsAreThoseTheHostAndLayoutRelyOn) {
    const struct { const char* text; size_t length; } table[] = {
        {BoxCaption, 9},
        {TextCannotCreate, 21},
        {TextCannotRename, 21},
        {StatusMoveWord, 6},
        {StatusCopyWord, 6},
        {MarkCopied, 2}, {MarkReplaced, 2}, {MarkFolderMade, 2}, {MarkFailed, 2},
    };
    for (auto& row : table) EXPECT_EQ(row.length, strlen(row.text)) << row.text;
    EXPECT_EQ(std::string("\x81\xA8"), MarkCopied);
    EXPECT_EQ(std::string("\x81\x9D"), MarkReplaced);
    EXPECT_EQ(std::string("\x81\x9C"), MarkFolderMade);
    EXPECT_EQ(std::string("\x81\x7E"), MarkFailed);
    EXPECT_EQ(std::string("\r\n \x83\x74"), std::string(TextCannotRead, 5));  // keeps its blank
}

TEST(ModuleStateRecord, ClearingKeepsOnlyTheInstanceAndRestoresBaseWording) {
    moduleState.moduleInstance = reinterpret_cast<HINSTANCE>(0x10000000);
    moduleState.modeWord = 7;
    moduleState.counters.errors = 3;
    moduleState.slotTable[SlotOpFlags] = OpMove;
    textChoice.failureSuffix = TextCannotRename;
    textChoice.moveWording = true;
    ClearModuleState();
    EXPECT_EQ(reinterpret_cast<HINSTANCE>(0x10000000), moduleState.moduleInstance);
    ModuleState expected = {};
    expected.moduleInstance = moduleState.moduleInstance;
    EXPECT_EQ(0, memcmp(&expected, &moduleState, sizeof expected));
    EXPECT_EQ(TextCannotCreate, textChoice.failureSuffix);
    EXPECT_FALSE(textChoice.moveWording);
}

TEST(BoundedCopy, WholeCopiesRefuseWhatDoesNotFit) {
    char buffer[8];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(buffer + 7, CopyToEnd(buffer, "1234567", buffer + 8));
    EXPECT_STREQ("1234567", buffer);
    memcpy(buffer, "keep", 5);
    EXPECT_EQ(nullptr, CopyToEnd(buffer, "12345678", buffer + 8));
    EXPECT_STREQ("keep", buffer);
    EXPECT_EQ(buffer, CopyToEnd(buffer, "", buffer + 1));
    EXPECT_EQ(nullptr, CopyToEnd(buffer, "", buffer));
}

TEST(BoundedCopy, CutCopiesNeverSplitADoubleByteCharacter) {
    const struct { const char* source; size_t room; const char* expected; } table[] = {
        {"abcdef", 4, "abc"},
        {"ab\x83\x5C", 4, "ab"},          // the double-byte character needs 2 + NUL
        {"ab\x83\x5C", 5, "ab\x83\x5C"},
        {"a\xB1\xB2", 3, "a\xB1"},         // half-width katakana are single bytes
        {"\x83", 4, "\x83"},              // a lone lead byte before the end stays alone
    };
    for (auto& row : table) {
        char buffer[16];
        memset(buffer, 'x', sizeof buffer);
        char* end = CopyToEnd(buffer, row.source, buffer + row.room, CopyCut);
        ASSERT_NE(nullptr, end) << row.source;
        EXPECT_STREQ(row.expected, buffer) << row.source;
        EXPECT_EQ(strlen(row.expected), static_cast<size_t>(end - buffer));
        EXPECT_EQ('x', buffer[row.room]) << "wrote past the limit";
    }
}

TEST(PathParts, NameSeparatorsAndCutFollowTheDoubleByteRule) {
    const struct { const char* path; const char* name; unsigned separators; const char* cut; } table[] = {
        {"X:\\dir\\file", "file", 2, "X:\\dir"},
        {"X:\\file", "file", 1, "X:"},
        {"X:\\", "", 1, "X:"},
        {"X:\\\x83\x5C\\b", "b", 2, "X:\\\x83\x5C"},
        {"X:\\a\x83\x5C", "a\x83\x5C", 1, "X:"},     // trail 0x5C is no separator
        {"\\\\srv\\share\\x", "x", 4, "\\\\srv\\share"},
    };
    for (auto& row : table) {
        EXPECT_STREQ(row.name, FindNamePart(row.path)) << row.path;
        EXPECT_EQ(row.separators, CountSeparators(row.path)) << row.path;
        char buffer[64];
        strcpy(buffer, row.path);
        char* end = CutLastComponent(buffer);
        EXPECT_STREQ(row.cut, buffer) << row.path;
        EXPECT_EQ(strlen(row.cut), static_cast<size_t>(end - buffer));
    }
}

#include "HostKit.h"
#include "StandardBox.h"

TEST(StandardBox, AnnouncesItselfToTheHostAndCarriesTheCaption) {
    HostSession session;
    ASSERT_TRUE(OpenHostSession(session));
    DWORD started = GetTickCount();
    int answer = ShowStandardBox(session.window, "C:\\x.txt\r\nwarning");
    EXPECT_EQ(IDOK, answer);
    EXPECT_LT(GetTickCount() - started, 5000u);
    ASSERT_EQ(1u, session.boxes.size());
    EXPECT_EQ(" Tavimore | C:\\x.txt\r\nwarning", session.boxes[0]);
    CloseHostSession(session);
}

TEST_F(LoadedLibrary, VersionRecordIs2160WithAJapaneseStringBlock) {
    char path[MAX_PATH];
    ASSERT_NE(0u, GetModuleFileNameA(module, path, sizeof path));
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    ASSERT_GT(size, 0u);
    std::string data(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, &data[0]));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(&data[0], "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(MAKELONG(1, 2), fixed->dwFileVersionMS);
    EXPECT_EQ(MAKELONG(0, 6), fixed->dwFileVersionLS);
    EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
    EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);
    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(&data[0], "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    EXPECT_EQ(0x411, translation[0]);
    EXPECT_EQ(932, translation[1]);
    char* text = nullptr;
    ASSERT_TRUE(VerQueryValueA(&data[0], "\\StringFileInfo\\041103a4\\FileVersion", reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ("2.1.6.0", text);
    ASSERT_TRUE(VerQueryValueA(&data[0], "\\StringFileInfo\\041103a4\\FileDescription", reinterpret_cast<void**>(&text), &length));
    EXPECT_STREQ("Tavimore ファイル操作プラグイン", text);  // read back as code page 932
}
