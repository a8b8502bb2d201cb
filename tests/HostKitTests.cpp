// The reference host's callbacks, called the way the library calls them:
// through WINAPI function pointers of the contract's types.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include "HostKit.h"

namespace {

const PathCallback pathCallback = HostPathCallback;
const KeyCallback keyCallback = HostKeyCallback;

struct PathRow {
    const char* path;
    const char* cut;      // mode 0: the string afterwards
    const char* name;     // mode 2: the string from the returned position
    unsigned separators;  // mode 4, given the path from its third byte
};

// "ソ" is 83 5C and "表" is 95 5C: their second byte is the byte of "\".
const PathRow pathRows[] = {
    {"C:\\dir\\file.txt", "C:\\dir", "file.txt", 2},
    {"C:\\file", "C:", "file", 1},
    {"C:\\dir\\", "C:\\dir", "", 2},
    {"C:\\", "C:", "", 1},
    {"\\\\server\\share\\a", "\\\\server\\share", "a", 2},
    {"C:\\ソフト\\表", "C:\\ソフト", "表", 2},
    {"C:\\データ\\ソ", "C:\\データ", "ソ", 2},
    {"C:\\ｱｲｳ\\x", "C:\\ｱｲｳ", "x", 2},  // half-width katakana are single bytes
};

TEST(HostPathCallback, ModesZeroTwoAndFourFollowTheDoubleByteRule) {
    for (const PathRow& row : pathRows) {
        char path[260];
        strcpy(path, row.path);
        ULONG_PTR end = pathCallback(path, PathCutLast);
        EXPECT_STREQ(row.cut, path) << row.path;
        EXPECT_EQ(reinterpret_cast<ULONG_PTR>(path + strlen(path)), end) << row.path;

        strcpy(path, row.path);
        const char* name = reinterpret_cast<const char*>(pathCallback(path, PathNamePart));
        EXPECT_STREQ(row.name, name) << row.path;
        EXPECT_GE(name, path) << row.path;
        EXPECT_LE(name, path + strlen(path)) << row.path;
        EXPECT_STREQ(row.path, path) << "mode 2 leaves the string alone";

        EXPECT_EQ(row.separators, pathCallback(path + 2, PathSeparatorCount)) << row.path;
    }
}

TEST(HostPathCallback, ModesTheLibraryNeverUsesAnswerZeroAndChangeNothing) {
    for (int mode : {1, 3, 5, -1}) {
        char path[] = "C:\\dir\\file";
        EXPECT_EQ(0u, pathCallback(path, mode)) << mode;
        EXPECT_STREQ("C:\\dir\\file", path) << mode;
    }
}

class KeySession : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(OpenHostSession(session)); }
    void TearDown() override { CloseHostSession(session); }
    HostSession session;
};

TEST_F(KeySession, FixedAnswersCoverOnlyTheListedKeys) {
    const struct {
        DWORD keyList;
        DWORD mask;
        DWORD expected;
    } rows[] = {
        {KeysBrowserOk, 0x0, 0x0},        // ESC, CTRL, NONCONVERT, end
        {KeysBrowserOk, 0x2, 0x2},
        {KeysBrowserOk, 0xF, 0x7},        // no fourth key listed
        {KeysDialogOpened, 0xF, 0x7},     // T, M, RETURN, then 0xFF ends the list
        {KeysBrowserReady, 0xF, 0x3},     // C, RETURN, 0xFF
        {KeysBrowserReturned, 0x5, 0x1},  // RETURN, ESC, 0xFF
        {0x00000000, 0xF, 0x0},
        {KeysBrowserOk, 0xF0F4, 0xF0F4},  // bits above the key positions as given
    };
    session.keysFixed = true;
    for (auto& row : rows) {
        session.keyMask = row.mask;
        EXPECT_EQ(row.expected, keyCallback(row.keyList, 0)) << std::hex << row.keyList << " " << row.mask;
    }
    ASSERT_EQ(sizeof rows / sizeof rows[0], session.keyLists.size());
    EXPECT_EQ(static_cast<DWORD>(KeysBrowserOk), session.keyLists[0]);
    EXPECT_EQ(static_cast<DWORD>(KeysDialogOpened), session.keyLists[3]);
}

void PressKey(WORD key, bool down) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
    PumpHostMessages(30);
}

TEST_F(KeySession, LiveAnswersReadTheKeyboard) {
    session.keysFixed = false;
    EXPECT_EQ(0u, keyCallback(KeysBrowserOk, 0));
    PressKey(VK_CONTROL, true);
    DWORD held = keyCallback(KeysBrowserOk, 0);
    PressKey(VK_CONTROL, false);
    EXPECT_EQ(0x2u, held) << "CTRL is the second key of the list";
    EXPECT_EQ(0u, keyCallback(KeysBrowserOk, 0)) << "released again";
}

}  // namespace
