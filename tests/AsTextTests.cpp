// AsText through the real export of Tavimore.dll: files written to a temporary
// folder, the returned block, its terminator and size, the format word, the
// options toggle, messageBuffer and the message boxes the host saw.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>
#include "ByteText.h"
#include "HostKit.h"

namespace {

typedef ULONG_PTR(WINAPI* AsTextExport)(HostContext*, char**, DWORD*, HWND, void*, void*);

const DWORD HostFormat = 7;  // what the host puts in the format word before the call
const DWORD UnicodeFormat = 13;

struct Outcome {
    ULONG_PTR result = 0;
    DWORD format = HostFormat;
    std::string block;     // every byte of the returned block
    bool movable = false;  // the handle is not the block's address
};

struct TextRow {
    const char* input;     // file bytes
    const char* output;    // text bytes of the block, before the terminator
    DWORD format;          // format word afterwards
    size_t blockSize;      // 0: the block it was read into (file size + 4)
};

class AsTextCall : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryA("Tavimore.dll");
        ASSERT_NE(nullptr, module) << GetLastError();
        asText = reinterpret_cast<AsTextExport>(GetProcAddress(module, "AsText"));
        ASSERT_NE(nullptr, asText);
        ASSERT_TRUE(OpenHostSession(session));
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        folder = std::string(temp) + "tavimore-astext-" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(folder.c_str(), nullptr);
    }

    void TearDown() override {
        for (auto& file : written) DeleteFileA(file.c_str());
        RemoveDirectoryA(folder.c_str());
        CloseHostSession(session);
        if (module) FreeLibrary(module);
    }

    std::string Write(const std::string& name, const std::string& bytes) {
        std::string path = folder + name;
        FILE* file = fopen(path.c_str(), "wb");
        EXPECT_NE(nullptr, file) << path;
        if (file) {
            fwrite(bytes.data(), 1, bytes.size(), file);
            fclose(file);
        }
        written.push_back(path);
        return path;
    }

    Outcome Run(const std::string& path, DWORD options = 0) {
        Outcome outcome;
        char* selection[] = {const_cast<char*>(path.c_str()), nullptr};
        session.context->options = options;
        outcome.result = asText(session.context, selection, &outcome.format, session.window, nullptr, nullptr);
        PumpHostMessages(50);
        if (outcome.result) {
            HGLOBAL block = reinterpret_cast<HGLOBAL>(outcome.result);
            SIZE_T size = GlobalSize(block);
            const char* data = static_cast<const char*>(GlobalLock(block));
            if (data) outcome.block.assign(data, size);
            outcome.movable = data && static_cast<const void*>(data) != static_cast<const void*>(block);
            GlobalFree(block);
        }
        return outcome;
    }

    // Each row's file through AsText: text, terminator, block size, format
    // word, messageBuffer; no box.
    void RunRows(const TextRow* rows, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            const TextRow& row = rows[i];
            std::string input = ParseHex<std::string>(row.input), expected = ParseHex<std::string>(row.output);
            std::string path = Write("text" + std::to_string(i) + ".txt", input);
            Outcome outcome = Run(path);
            SCOPED_TRACE(row.input);
            ASSERT_NE(0u, outcome.result);
            EXPECT_EQ(row.format, outcome.format);
            EXPECT_TRUE(outcome.movable);
            size_t terminator = row.format == UnicodeFormat ? 2 : 1;
            ASSERT_GE(outcome.block.size(), expected.size() + terminator);
            EXPECT_EQ(ShowHex(expected), ShowHex(outcome.block.substr(0, expected.size())));
            EXPECT_EQ(std::string(terminator, '\0'), outcome.block.substr(expected.size(), terminator));
            EXPECT_EQ(row.blockSize ? row.blockSize : input.size() + 4, outcome.block.size());
            EXPECT_STREQ(path.c_str(), session.context->messageBuffer);
        }
        EXPECT_TRUE(session.boxes.empty());
    }

    HMODULE module = nullptr;
    AsTextExport asText = nullptr;
    HostSession session;
    std::string folder;
    std::vector<std::string> written;
};

TEST_F(AsTextCall, ReturnsTextAsReadSwappedOrConverted) {
    const TextRow table[] = {
        {"41 42", "41 42", HostFormat, 0},
        {"FF FE 41 00 42 00", "41 00 42 00", UnicodeFormat, 0},
        {"FE FF 00 41 00 42", "41 00 42 00", UnicodeFormat, 0},
        {"41 00 42 00", "41 00 42 00", UnicodeFormat, 0},
        {"00 41 00 42", "41 00 42 00", UnicodeFormat, 0},
        {"00 41 42 00", "00 41 42 00", UnicodeFormat, 0},
        {"41 42 00 00", "41 42", UnicodeFormat, 0},
        {"41 00 00 8A", "41 00 00 8A", UnicodeFormat, 0},
        {"00 00 8A 41", "00 00 8A 41", UnicodeFormat, 0},          // NUL pair first, then a high byte
        {"FE FF", "", UnicodeFormat, 0},
        {"82 A0 82 A2 82 A4", "82 A0 82 A2 82 A4", HostFormat, 0},
        {"1B 24 42 24 22 24 24 1B 28 42", "42 30 44 30", UnicodeFormat, 6},
        {"41 1B 24 42 24 22 0A", "41 1B 24 42 24 22 0A", HostFormat, 0},  // one escape only
        {"A4 A2 A4 A4 A4 A6", "42 30 44 30 46 30", UnicodeFormat, 8},
        {"E3 81 82 E3 81 84 E3 81 86", "42 30 44 30 46 30", UnicodeFormat, 8},
        {"63 61 66 C3 A9", "63 61 66 C3 A9", HostFormat, 0},       // one é: a tie
        {"C3 A9 74 C3 A9", "E9 00 74 00 E9 00", UnicodeFormat, 8},
        {"EF BB BF E3 81 82 E3 81 84", "42 30 44 30", UnicodeFormat, 6},
        {"B1 B2 B3 B4", "26 6E 68 61", UnicodeFormat, 6},          // half-width kana read as EUC-JP
        {"B1 B2 B3", "26 6E FB 30", UnicodeFormat, 6},             // mlang: U+30FB for the lone byte
        // Two escapes, but JIS X 0212 has no mapping: goes out as read.
        {"1B 24 28 44 22 2F 1B 28 42", "1B 24 28 44 22 2F 1B 28 42", HostFormat, 0},
        // Row 9 is empty in code page 932: no mapping either.
        {"1B 24 42 29 21 1B 28 42", "1B 24 42 29 21 1B 28 42", HostFormat, 0},
    };
    RunRows(table, sizeof table / sizeof table[0]);
}

struct FailureRow {
    const char* input;  // nullptr: no file at all
    const char* message;
};

TEST_F(AsTextCall, RefusesWithTheStandardBoxAndLeavesOptionsAlone) {
    const FailureRow table[] = {
        {"", "\r\n指定ファイルはサイズがゼロです。"},
        {nullptr, "\r\n ファイルが読み込めません。"},
        {"41 00 42", "\r\n指定ファイルはテキストとして扱えません。"},
        {"61 62 00 00 00 63 64", "\r\n指定ファイルはテキストとして扱えません。"},
        {"E9 00 00 8A 00 00", "\r\n指定ファイルはテキストとして扱えません。"},
        {"61 62 FF FF 63 64", "\r\n指定ファイルはテキストとして扱えません。"},
        {"61 62 FF 63 64", "\r\n指定ファイルはテキストとして扱えません。"},
        {"FF FE 41", "\r\n指定ファイルはテキストとして扱えません。"},
    };
    int index = 0;
    for (const FailureRow& row : table) {
        std::string name = "bad" + std::to_string(index++) + ".bin";
        std::string path = row.input ? Write(name, ParseHex<std::string>(row.input)) : folder + name;
        session.boxes.clear();
        Outcome outcome = Run(path, 0x1000);
        SCOPED_TRACE(row.input ? row.input : "(missing)");
        EXPECT_EQ(0u, outcome.result);
        EXPECT_EQ(HostFormat, outcome.format);
        EXPECT_EQ(0x1000u, session.context->options);
        EXPECT_EQ(path + row.message, session.context->messageBuffer);
        ASSERT_EQ(1u, session.boxes.size());
        EXPECT_EQ(" Tavimore | " + path + row.message, session.boxes[0]);
    }
}

TEST_F(AsTextCall, AFolderCannotBeRead) {
    Outcome outcome = Run(folder);
    EXPECT_EQ(0u, outcome.result);
    ASSERT_EQ(1u, session.boxes.size());
    EXPECT_EQ(" Tavimore | " + folder + "\r\n ファイルが読み込めません。", session.boxes[0]);
}

TEST_F(AsTextCall, SuccessTogglesBit20OnlyWhenAsked) {
    std::string path = Write("plain.txt", "text");
    const struct { DWORD before, after; } table[] = {
        {0x1000, 0x1020}, {0x1020, 0x1000}, {0x0020, 0x0020}, {0x0000, 0x0000}, {0x1140, 0x1160},
    };
    for (auto& row : table) {
        Outcome outcome = Run(path, row.before);
        EXPECT_NE(0u, outcome.result);
        EXPECT_EQ(row.after, session.context->options) << std::hex << row.before;
    }
}

TEST_F(AsTextCall, ALongPathAndItsMessageStayInsideMessageBuffer) {
    std::string path = "Z:\\" + std::string(300, 'q') + "\\x.txt";
    memset(&session.context->findData, 0x5A, sizeof session.context->findData);
    Outcome outcome = Run(path);
    EXPECT_EQ(0u, outcome.result);
    const char* buffer = session.context->messageBuffer;
    size_t length = strnlen(buffer, HostBufferSize);
    ASSERT_LT(length, static_cast<size_t>(HostBufferSize));
    const char message[] = "\r\n ファイルが読み込めません。";
    std::string text(buffer, length);
    ASSERT_GT(text.size(), strlen(message));
    EXPECT_EQ(message, text.substr(text.size() - strlen(message)));      // the warning is whole
    EXPECT_EQ(path.substr(0, text.size() - strlen(message)), text.substr(0, text.size() - strlen(message)));
    EXPECT_EQ(0x5A, reinterpret_cast<unsigned char*>(&session.context->findData)[0]);
    ASSERT_EQ(1u, session.boxes.size());
    EXPECT_EQ(" Tavimore | " + text, session.boxes[0]);
}

// Sparse files whose size does not fit the 32-bit block arithmetic are
// refused before anything is read, never taken as their low 32 bits.
TEST_F(AsTextCall, FilesTooLargeForTheBlockAreRefusedAsUnreadable) {
    const struct { DWORD high, low; } sizes[] = {{1, 2}, {0, 0xFFFFFFFCu}};
    for (auto& size : sizes) {
        std::string path = folder + "huge" + std::to_string(size.low) + ".txt";
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        written.push_back(path);
        LONG high = static_cast<LONG>(size.high);
        SetFilePointer(file, static_cast<LONG>(size.low), &high, FILE_BEGIN);
        ASSERT_TRUE(SetEndOfFile(file));
        CloseHandle(file);
        session.boxes.clear();
        DWORD started = GetTickCount();
        Outcome outcome = Run(path);
        EXPECT_LT(GetTickCount() - started, 5000u);
        EXPECT_EQ(0u, outcome.result) << size.low;
        ASSERT_EQ(1u, session.boxes.size());
        EXPECT_EQ(" Tavimore | " + path + "\r\n ファイルが読み込めません。", session.boxes[0]);
        DeleteFileA(path.c_str());
    }
}

TEST_F(AsTextCall, LargeTextsComeBackWhole) {
    // Long enough to cross many 64-byte blocks of the scan, in each form.
    std::string sjis, utf16;
    for (int i = 0; i < 5000; ++i) {
        sjis += "\x82\xA0\x88\x9F" "ab\r\n";
        utf16 += std::string("\x42\x30\x9C\x4E", 4);
    }
    Outcome a = Run(Write("big-sjis.txt", sjis));
    ASSERT_NE(0u, a.result);
    EXPECT_EQ(HostFormat, a.format);
    EXPECT_TRUE(a.block.compare(0, sjis.size(), sjis) == 0);
    EXPECT_EQ(std::string(4, '\0'), a.block.substr(sjis.size()));

    Outcome b = Run(Write("big-utf16.txt", "\xFF\xFE" + utf16));
    ASSERT_NE(0u, b.result);
    EXPECT_EQ(UnicodeFormat, b.format);
    EXPECT_TRUE(b.block.compare(0, utf16.size(), utf16) == 0);
    EXPECT_EQ(std::string(6, '\0'), b.block.substr(utf16.size()));
}

}  // namespace

// EUC-JP through the library's own decoder, where mlang.dll cannot be loaded.
// Registered a second time with mlang.dll disabled and
// TAVIMORE_EXPECT_NO_MLANG set; skipped where mlang.dll is there.
TEST_F(AsTextCall, EucJpWithoutMlangGoesThroughTheOwnDecoder) {
    HMODULE mlang = LoadLibraryA("mlang.dll");
    if (mlang) FreeLibrary(mlang);
    if (getenv("TAVIMORE_EXPECT_NO_MLANG")) {
        ASSERT_EQ(nullptr, mlang) << "mlang.dll should be disabled in this run";
    } else if (mlang) {
        GTEST_SKIP() << "mlang.dll is present; astext_tests_no_mlang runs this";
    }
    const TextRow table[] = {
        {"A4 A2 A4 A4 A4 A6", "42 30 44 30 46 30", UnicodeFormat, 8},
        {"B1 B2 B3 B4", "26 6E 68 61", UnicodeFormat, 6},
        {"8E B1 A4 A2 A4 A4 0A", "71 FF 42 30 44 30 0A 00", UnicodeFormat, 10},
        // JIS X 0212 has no Shift-JIS form: the text goes out as read.
        {"8F B0 A1 A4 A2 A4 A4", "8F B0 A1 A4 A2 A4 A4", HostFormat, 0},
    };
    RunRows(table, sizeof table / sizeof table[0]);
}
