// LnCopy called without a selection: it returns 0 at once and opens nothing
// (an opened browser would ask the key callback and wait for a person).
// The shell's run (new and update off), with the folder browser and the
// shell's file operation replaced: an item refused before the run is not in
// the list the shell gets; an item the shell calls done but that is not at
// its target makes the result 0 and is named in the box.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>
#include "Exports.h"
#include "HostKit.h"
#include "ImportSeam.h"
#include "ModuleState.h"
#include "TestFolders.h"
#include <shellapi.h>
#include <shlobj.h>

TEST(LnCopyWithoutSelection, ReturnsZeroAndOpensNothing) {
    HostSession session;
    ASSERT_TRUE(OpenHostSession(session));
    char path[] = "C:\\windows";
    char* selection[] = {path, nullptr};
    for (int count : {0, -1}) {
        EXPECT_EQ(0u, LnCopy(session.context, selection, count, session.window, HostPathCallback, HostKeyCallback));
    }
    EXPECT_TRUE(session.keyLists.empty());
    EXPECT_EQ(0u, LnCopy(session.context, nullptr, 1, session.window, HostPathCallback, HostKeyCallback));
    EXPECT_TRUE(session.keyLists.empty());
    CloseHostSession(session);
}

namespace {

const char CannotBeMade[] = " は\r\n作成出来ません。";

std::string seamDestination;           // what the browser seam leaves in pathBuffer
std::vector<std::string> handedOver;   // the shell seam's source list, path by path
int shellCalls = 0;
bool shellCopies = false;              // the seam copies each file, or does nothing

LPITEMIDLIST WINAPI SeamBrowse(LPBROWSEINFOA) {
    strcpy(moduleState.context->pathBuffer, seamDestination.c_str());
    moduleState.modeWord = 1;  // OK
    OpFlags() = OpRunning;     // new and update off: the shell's run
    return static_cast<LPITEMIDLIST>(CoTaskMemAlloc(sizeof(USHORT)));
}

int WINAPI SeamShell(LPSHFILEOPSTRUCTA operation) {
    ++shellCalls;
    for (const char* source = operation->pFrom; *source; source += strlen(source) + 1) {
        handedOver.push_back(source);
        const char* name = strrchr(source, '\\') + 1;
        if (shellCopies) CopyFileA(source, (std::string(operation->pTo) + name).c_str(), FALSE);
    }
    return 0;
}

void MakeEmptyFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
    CloseHandle(file);
}

// sources (f: a file, d: a folder) | entries already at the destination |
// the shell copies | selected | handed over | result | boxed target
struct ShellRow {
    const char* name;
    std::vector<std::string> sources, present;
    bool copies;
    std::vector<std::string> selected, handed;
    ULONG_PTR result;
    std::string boxed;
};
const ShellRow shellRows[] = {
    {"arrived", {"f:a.txt"}, {}, true, {"a.txt"}, {"a.txt"}, 1, ""},
    {"called-done-but-missing", {"f:a.txt", "f:b.txt"}, {}, false, {"a.txt", "b.txt"}, {"a.txt", "b.txt"}, 0, "a.txt"},
    {"folder-onto-file-not-handed", {"d:x", "f:a.txt"}, {"f:x"}, true, {"x", "a.txt"}, {"a.txt"}, 0, "x"},
    {"file-onto-folder-not-handed", {"f:a.txt"}, {"d:a.txt"}, true, {"a.txt"}, {}, 0, "a.txt"},
};

}  // namespace

TEST(LnCopyShellRun, HandsOverOnlyWhatItCheckedAndLooksForEachItemAfterwards) {
    HMODULE program = GetModuleHandleA(nullptr);
    ASSERT_TRUE(ReplaceImport(program, "SHELL32.dll", "SHBrowseForFolderA", reinterpret_cast<void*>(SeamBrowse)));
    ASSERT_TRUE(ReplaceImport(program, "SHELL32.dll", "SHFileOperationA", reinterpret_cast<void*>(SeamShell)));
    HostSession session;
    ASSERT_TRUE(OpenHostSession(session));
    session.keysFixed = true;
    char temp[MAX_PATH];
    ASSERT_NE(0u, GetTempPathA(sizeof temp, temp));
    for (const ShellRow& row : shellRows) {
        SCOPED_TRACE(row.name);
        std::string base = std::string(temp) + "tavi-shell-" + std::to_string(GetCurrentProcessId()) + "-" + row.name;
        std::string source = base + "\\src", destination = base + "\\dst";
        RemoveTree(base);
        ASSERT_TRUE(CreateDirectoryA(base.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA(source.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA(destination.c_str(), nullptr));
        for (const std::string& item : row.sources) {
            std::string path = source + "\\" + item.substr(2);
            if (item[0] == 'd') ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
            else MakeEmptyFile(path);
        }
        for (const std::string& item : row.present) {
            std::string path = destination + "\\" + item.substr(2);
            if (item[0] == 'd') ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
            else MakeEmptyFile(path);
        }
        std::vector<std::string> paths;
        for (const std::string& name : row.selected) paths.push_back(source + "\\" + name);
        std::vector<char*> selection;
        for (std::string& path : paths) selection.push_back(&path[0]);
        selection.push_back(nullptr);
        std::vector<std::string> handed;
        for (const std::string& name : row.handed) handed.push_back(source + "\\" + name);
        seamDestination = destination;
        handedOver.clear();
        shellCalls = 0;
        shellCopies = row.copies;
        session.boxes.clear();
        ULONG_PTR result = LnCopy(session.context, selection.data(), static_cast<int>(paths.size()), session.window,
                                  HostPathCallback, HostKeyCallback);
        EXPECT_EQ(row.result, result);
        EXPECT_EQ(handed, handedOver);
        EXPECT_EQ(handed.empty() ? 0 : 1, shellCalls);
        std::vector<std::string> boxes;
        if (!row.boxed.empty()) boxes.push_back(" Tavimore | " + destination + "\\" + row.boxed + CannotBeMade);
        EXPECT_EQ(boxes, session.boxes);
        RemoveTree(base);
    }
    CloseHostSession(session);
}
