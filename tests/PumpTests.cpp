// Status text of a copy run and the message pump it runs between items.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include "HostKit.h"
#include "ModuleState.h"
#include "PumpProgress.h"
#include "StatusText.h"

namespace {

struct StatusRow {
    StatusCounts counts;
    bool move;
    unsigned code;
    const char* expected;
};

const StatusRow StatusTable[] = {
    // One folder made of two, five files of six, one error, ended with errors: 84 bytes.
    {{1, 2, 5, 6, 1}, false, OutcomeErrors,
     "作成フォルダー   1 /  2\r\nコピーファイル    5 /  6\r\nエラー: 1   エラー が有りました。"},
    {{0, 0, 3, 9, 0}, false, OutcomeCancelled,
     "作成フォルダー   0 /  0\r\nコピーファイル    3 /  9\r\nエラー: 0 キャンセル されました。"},
    {{4, 4, 12, 12, 0}, false, OutcomeClean,
     "作成フォルダー   4 /  4\r\nコピーファイル   12 / 12\r\nエラー: 0 "},
    {{4, 4, 12, 12, 0}, false, 0,
     "作成フォルダー   4 /  4\r\nコピーファイル   12 / 12\r\nエラー: 0 "},
    {{1234, 123, 12345, 678, 100}, true, 0,
     "作成フォルダー 1234 / 123\r\n 移動 ファイル 12345 / 678\r\nエラー:100 "},
    {{0, 1, 0, 1, 1}, true, OutcomeErrors,
     "作成フォルダー   0 /  1\r\n 移動 ファイル    0 /  1\r\nエラー: 1   エラー が有りました。"},
    // Bit 0 alone picks the cancel sentence, bits 0 and 1 the errors sentence.
    {{0, 0, 0, 0, 0}, false, 1, "作成フォルダー   0 /  0\r\nコピーファイル    0 /  0\r\nエラー: 0 キャンセル されました。"},
    {{0, 0, 0, 0, 0}, false, 3, "作成フォルダー   0 /  0\r\nコピーファイル    0 /  0\r\nエラー: 0   エラー が有りました。"},
    {{0, 0, 0, 0, 0}, false, 2, "作成フォルダー   0 /  0\r\nコピーファイル    0 /  0\r\nエラー: 0 "},
};

TEST(StatusText, TemplateMoveWordingAndClosingSentences) {
    for (const StatusRow& row : StatusTable) {
        char text[StatusTextSize + 8];
        memset(text, 'x', sizeof text);
        size_t length = ComposeStatusText(text, StatusTextSize, row.counts, row.move, row.code);
        EXPECT_EQ(std::string(row.expected), std::string(text)) << row.code;
        EXPECT_EQ(strlen(row.expected), length);
    }
    char text[StatusTextSize];
    EXPECT_EQ(84u, ComposeStatusText(text, sizeof text, StatusTable[0].counts, false, OutcomeErrors));
}

TEST(StatusText, LongestTextFillsTheComposingBufferExactly) {
    const StatusCounts most = {4294967295u, 4294967295u, 4294967295u, 4294967295u, 4294967295u};
    for (unsigned code : {unsigned(OutcomeErrors), unsigned(OutcomeCancelled)}) {
        for (bool move : {false, true}) {
            char text[StatusTextSize + 1];
            memset(text, 'x', sizeof text);
            size_t length = ComposeStatusText(text, StatusTextSize, most, move, code);
            EXPECT_EQ(121u, length) << code << move;
            EXPECT_EQ('\0', text[121]);
            EXPECT_EQ('x', text[StatusTextSize]);
            EXPECT_EQ(std::string("。"), std::string(text + 119)) << "closing sentence complete";
        }
    }
}

TEST(StatusText, ShortBuffersAreCutBetweenCharacters) {
    const StatusCounts counts = {1, 2, 5, 6, 1};
    const struct { size_t size; const char* expected; } table[] = {
        {6, "作成"},              // five bytes of room would split フ
        {5, "作成"},
        {4, "作"},
        {15, "作成フォルダー"},
        {16, "作成フォルダー "},
        {19, "作成フォルダー   1"},
        {1, ""},
    };
    for (auto& row : table) {
        char text[32];
        memset(text, 'x', sizeof text);
        size_t length = ComposeStatusText(text, row.size, counts, false, OutcomeErrors);
        EXPECT_EQ(std::string(row.expected), std::string(text)) << row.size;
        EXPECT_EQ(strlen(row.expected), length) << row.size;
        EXPECT_EQ('x', text[row.size]) << "wrote past " << row.size;
    }
    char untouched = 'x';
    EXPECT_EQ(0u, ComposeStatusText(&untouched, 0, counts, false, OutcomeErrors));
    EXPECT_EQ('x', untouched);
}

// A window that counts what is dispatched to it.
const UINT Probe = WM_USER + 5;
std::vector<UINT> dispatched;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == Probe || message == WM_CLOSE || message == WM_QUERYENDSESSION) {
        dispatched.push_back(message);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class Pump : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(OpenHostSession(session));
        ClearModuleState();
        moduleState.context = session.context;
        SetSlot(SlotHostWindow, reinterpret_cast<ULONG_PTR>(session.window));
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = CountingProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "TavimorePumpProbe";
        RegisterClassA(&windowClass);
        probe = CreateWindowExA(0, "TavimorePumpProbe", "", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr,
                                windowClass.hInstance, nullptr);
        ASSERT_NE(nullptr, probe);
        status = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 80, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, status);
        DrainQueue();
        GetAsyncKeyState(VK_ESCAPE);  // forget any earlier press
        dispatched.clear();
    }
    void TearDown() override {
        DrainQueue();
        if (status) DestroyWindow(status);
        if (probe) DestroyWindow(probe);
        CloseHostSession(session);
    }
    static void DrainQueue() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            if (message.message != WM_QUIT) DispatchMessageA(&message);
    }
    std::string StatusShown() {
        char text[256] = "";
        GetWindowTextA(status, text, sizeof text);
        return text;
    }
    HostSession session;
    HWND probe = nullptr;
    HWND status = nullptr;
};

TEST_F(Pump, StatusControlGetsTheTextOnEveryCall) {
    SetSlot(SlotControl2, reinterpret_cast<ULONG_PTR>(status));
    OpFlags() = OpNew | OpRunning;
    moduleState.counters = {0, 1, 1, 0, 0};  // errors, files seen, folders seen, files copied, folders created
    EXPECT_EQ(DWORD(OpRunning), PumpProgress(0));
    EXPECT_EQ("作成フォルダー   0 /  1\r\nコピーファイル    0 /  1\r\nエラー: 0 ", StatusShown());
    moduleState.counters = {1, 6, 2, 5, 1};
    PumpProgress(0);
    EXPECT_EQ("作成フォルダー   1 /  2\r\nコピーファイル    5 /  6\r\nエラー: 1 ", StatusShown());
    PumpProgress(OutcomeErrors);
    EXPECT_EQ("作成フォルダー   1 /  2\r\nコピーファイル    5 /  6\r\nエラー: 1   エラー が有りました。", StatusShown());
    EXPECT_EQ('\0', session.context->messageBuffer[0]) << "the window run leaves messageBuffer alone";
}

TEST_F(Pump, MoveWordingHoldsForOneCommandOnly) {
    SetSlot(SlotControl2, reinterpret_cast<ULONG_PTR>(status));
    textChoice.moveWording = true;
    moduleState.counters = {0, 3, 0, 2, 0};
    PumpProgress(OutcomeCancelled);
    EXPECT_EQ("作成フォルダー   0 /  0\r\n 移動 ファイル    2 /  3\r\nエラー: 0 キャンセル されました。", StatusShown());
    ClearModuleState();  // the next command
    moduleState.context = session.context;
    SetSlot(SlotControl2, reinterpret_cast<ULONG_PTR>(status));
    moduleState.counters = {0, 3, 0, 2, 0};
    PumpProgress(0);
    EXPECT_EQ("作成フォルダー   0 /  0\r\nコピーファイル    2 /  3\r\nエラー: 0 ", StatusShown());
}

TEST_F(Pump, QuietRunWritesMessageBufferOnlyForAClosingSentence) {
    char* buffer = session.context->messageBuffer;
    strcpy(buffer, "before");
    memset(session.context->findData.cFileName, 'g', 8);
    moduleState.counters = {2, 7, 1, 5, 1};
    OpFlags() = OpNew | OpRunning;
    for (DWORD code : {DWORD(0), DWORD(OutcomeClean), DWORD(2)}) {
        EXPECT_EQ(DWORD(OpRunning), PumpProgress(code));
        EXPECT_STREQ("before", buffer) << code;
    }
    PumpProgress(OutcomeCancelled);
    EXPECT_EQ("作成フォルダー   1 /  1\r\nコピーファイル    5 /  7\r\nエラー: 2 キャンセル されました。", std::string(buffer));
    PumpProgress(OutcomeErrors);
    EXPECT_EQ("作成フォルダー   1 /  1\r\nコピーファイル    5 /  7\r\nエラー: 2   エラー が有りました。", std::string(buffer));
    EXPECT_EQ('g', session.context->findData.cFileName[0]);
}

TEST_F(Pump, DispatchesAtMostSixteenMessagesPerCall) {
    OpFlags() = OpUpdate | OpRunning;
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(PostMessageA(probe, Probe, i, 0));
    EXPECT_EQ(DWORD(OpRunning), PumpProgress(0));
    EXPECT_EQ(16u, dispatched.size());
    PumpProgress(0);
    EXPECT_EQ(20u, dispatched.size());
    PumpProgress(0);
    EXPECT_EQ(20u, dispatched.size());
    EXPECT_EQ(DWORD(OpUpdate | OpRunning), OpFlags()) << "ordinary messages change no flag";
}

struct CloseCase {
    const char* name;
    UINT message;
    int how;  // 0 posted to the window, 1 posted to the thread, 2 PostQuitMessage
};

TEST_F(Pump, CloseAndQuitRequestsArePutBackAndClearEveryFlag) {
    const CloseCase table[] = {
        {"WM_CLOSE to the window", WM_CLOSE, 0},
        {"WM_QUERYENDSESSION to the window", WM_QUERYENDSESSION, 0},
        {"WM_QUIT to the window", WM_QUIT, 0},
        {"WM_CLOSE to the thread", WM_CLOSE, 1},
        {"WM_QUIT to the thread", WM_QUIT, 1},
        {"PostQuitMessage", WM_QUIT, 2},
    };
    for (const CloseCase& row : table) {
        DrainQueue();
        dispatched.clear();
        OpFlags() = OpMove | OpNew | OpBelow | OpRunning;
        PostMessageA(probe, Probe, 1, 0);
        switch (row.how) {
        case 0: PostMessageA(probe, row.message, 7, 8); break;
        case 1: PostThreadMessageA(GetCurrentThreadId(), row.message, 7, 8); break;
        default: PostQuitMessage(7); break;
        }
        PostMessageA(probe, Probe, 2, 0);
        EXPECT_EQ(0u, PumpProgress(0)) << row.name;
        EXPECT_EQ(0u, OpFlags()) << row.name;
        // The pump stops at the request: what was posted after it still waits,
        // except that a quit of the thread is only seen once the queue is empty.
        size_t before = row.how == 2 ? 2 : 1;
        EXPECT_EQ(before, dispatched.size()) << row.name;
        MSG message;
        bool sawRequest = false;
        size_t waitingProbes = 0;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == Probe) {
                EXPECT_FALSE(sawRequest) << row.name << ": put back behind what was waiting";
                ++waitingProbes;
            } else if (message.message == row.message) {
                sawRequest = true;
                EXPECT_EQ(row.how == 0 ? probe : nullptr, message.hwnd) << row.name;
                EXPECT_EQ(7u, message.wParam) << row.name;
            } else {
                DispatchMessageA(&message);
            }
        }
        EXPECT_TRUE(sawRequest) << row.name;
        EXPECT_EQ(2 - before, waitingProbes) << row.name;
        for (UINT seen : dispatched) EXPECT_EQ(Probe, seen) << row.name << ": request dispatched during the run";
    }
}

// Presses and releases a key through the input queue.
void TapKey(WORD key) {
    INPUT input[2] = {};
    input[0].type = INPUT_KEYBOARD;
    input[0].ki.wVk = key;
    input[1] = input[0];
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

TEST_F(Pump, EscapeClearsOnlyTheRunningBit) {
    OpFlags() = OpMove | OpUpdate | OpRunning;
    EXPECT_EQ(DWORD(OpRunning), PumpProgress(0)) << "no key pressed";
    TapKey(VK_ESCAPE);
    EXPECT_EQ(0u, PumpProgress(0));
    EXPECT_EQ(DWORD(OpMove | OpUpdate), OpFlags());
    OpFlags() |= OpRunning;
    EXPECT_EQ(DWORD(OpRunning), PumpProgress(0)) << "the press was consumed";
    TapKey('A');
    EXPECT_EQ(DWORD(OpRunning), PumpProgress(0)) << "other keys do not cancel";
}

}  // namespace
