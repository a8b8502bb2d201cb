// Decides from a file's bytes whether it is text and in which encoding.
// Free of <windows.h>: built into the DLL and natively for fuzzing and timing.
#pragma once
#include <stddef.h>
#include <stdint.h>

// What AsText does with the block it read.
enum TextVerdict {
    VerdictNotText,   // binary signature, odd-sized UTF-16, or a lone 0xFF
    VerdictAsRead,    // bytes go out as read (7-bit, Shift-JIS, or a tie)
    VerdictUtf16,     // UTF-16: drop the mark and/or swap to little-endian in place
    VerdictConvert,   // multibyte text to convert to UTF-16 with codePage
};

enum TextCodePage {
    CodePageNone = 0,
    CodePageJis = 50221,     // ISO-2022-JP
    CodePageEuc = 51932,     // EUC-JP
    CodePageUtf8 = 65001,
};

// Counters of the structural scan and scores of the three scoring passes.
// Counters and scores are 64 bits wide so that no size that fits the 32-bit
// block arithmetic can overflow them; the decision is the same as with 32-bit
// counters for every size where those would not overflow.
struct ScanCounts {
    uint64_t oddNuls;      // NUL bytes at odd offsets (seeded with the size by FF FE)
    uint64_t evenNuls;     // NUL bytes at even offsets (seeded with the size by FE FF)
    uint64_t ffBytes;      // 0xFF bytes not taken as a binary signature
    uint64_t highBytes;    // bytes 0x80-0xFF
    uint64_t escapes;      // 0x1B followed by '$' or '('
    bool binary;           // a binary signature ended the scan early
};

struct TextScores {
    int64_t shiftJis;
    int64_t eucJp;
    int64_t utf8;
    int64_t utf8Weighted;  // utf8 plus a quarter of it, rounded down
};

struct TextDecision {
    TextVerdict verdict;
    TextCodePage codePage;   // for VerdictConvert
    size_t sourceOffset;     // VerdictConvert: 3 when a UTF-8 mark EF BB BF is skipped
    bool byteOrderMark;      // VerdictUtf16: FF FE or FE FF leads the data
    bool bigEndian;          // VerdictUtf16: more NULs at even offsets than at odd ones
    bool scored;             // the scoring passes ran and scores is filled
    ScanCounts counts;
    TextScores scores;
};

// Decides over bytes[0, length). A look-ahead past length reads as 0, as the
// four zero bytes behind a loaded file do, so any span is safe to pass. Nothing
// is written. The missing byte in front of offset 0 reads as below 0x80.
// Data that begins with a byte-order mark (FF FE or FE FF) declares itself
// UTF-16: its NUL pairs and FF pairs are binary signatures only when they start
// at an even offset (a whole unit); a pair that straddles two units is text.
// There a NUL unit is binary wherever it is followed by more data.
TextDecision DecideEncoding(const unsigned char* bytes, size_t length);

// The two halves on their own, for tests and timing.
ScanCounts ScanStructure(const unsigned char* bytes, size_t length);
TextScores ScoreMultibyte(const unsigned char* bytes, size_t length);

// Exchanges the two bytes of every whole pair in bytes[0, length) (UTF-16
// big-endian to little-endian); an odd last byte stays as it is.
void SwapBytePairs(unsigned char* bytes, size_t length);
