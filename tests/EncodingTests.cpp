// The text decision and the own JIS decoder, without Windows: byte tables in,
// verdicts, counters, scores and Shift-JIS bytes out. Built for Wine (32-bit
// masks, SSE2) and natively (64-bit masks).
#include <gtest/gtest.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>
#include "ByteText.h"
#include "EncodingScan.h"
#include "JisDecode.h"
#include "ReferenceDecision.h"

namespace {

typedef std::vector<unsigned char> Bytes;

// "41 42 00" -> {0x41, 0x42, 0x00}
// The decision over exactly the bytes given, from a heap copy of that size so
// that a read past the end would land outside the allocation.
TextDecision Decide(const Bytes& bytes) {
    unsigned char* copy = static_cast<unsigned char*>(malloc(bytes.size() ? bytes.size() : 1));
    if (!bytes.empty()) memcpy(copy, bytes.data(), bytes.size());
    TextDecision d = DecideEncoding(copy, bytes.size());
    free(copy);
    return d;
}

struct VerdictRow {
    const char* bytes;
    TextVerdict verdict;
    int codePage;
    size_t sourceOffset;
    bool mark, bigEndian;
};

TEST(Decision, EdgeCasesOfTheRules) {
    const VerdictRow table[] = {
        {"41 42", VerdictAsRead, 0, 0, false, false},
        {"FF FE 41 00 42 00", VerdictUtf16, 0, 0, true, false},
        {"FE FF 00 41 00 42", VerdictUtf16, 0, 0, true, true},
        {"41 00 42 00", VerdictUtf16, 0, 0, false, false},
        {"00 41 00 42", VerdictUtf16, 0, 0, false, true},
        {"00 41 42 00", VerdictUtf16, 0, 0, false, false},       // one NUL of each parity: a tie
        {"41 00 42", VerdictNotText, 0, 0, false, false},        // NUL and odd size
        {"41 42 00 00", VerdictUtf16, 0, 0, false, false},       // NUL pair ending the data
        {"61 62 00 00 00 63 64", VerdictNotText, 0, 0, false, false},
        {"E9 00 00 8A 00 00", VerdictNotText, 0, 0, false, false},
        {"41 00 00 8A", VerdictUtf16, 0, 0, false, false},       // byte before the pair below 0x80
        {"00 00 8A 41", VerdictUtf16, 0, 0, false, false},       // nothing before the pair: accepted
        {"00 00 00 41", VerdictNotText, 0, 0, false, false},
        {"41 00 00 00", VerdictNotText, 0, 0, false, false},      // three NULs, the pair starts 3 from the end
        {"41 42 00 00 00", VerdictNotText, 0, 0, false, false},   // three NULs ending the data
        {"61 62 FF FF 63 64", VerdictNotText, 0, 0, false, false},
        {"61 62 FF 63 64", VerdictNotText, 0, 0, false, false},
        {"61 62 63 FF", VerdictNotText, 0, 0, false, false},      // 0xFF last: the slack is not 0xFF
        {"1B 24 42 24 22 1B 28 42", VerdictConvert, 50221, 0, false, false},
        {"1B 24 42 24 22 0A", VerdictAsRead, 0, 0, false, false}, // a single escape
        {"1B 28 42 82 A0 1B 24", VerdictConvert, 50221, 0, false, false},  // escapes win over the scores
        {"82 A0 82 A2 82 A4", VerdictAsRead, 0, 0, false, false},
        {"A4 A2 A4 A4 A4 A6", VerdictConvert, 51932, 0, false, false},
        {"E3 81 82 E3 81 84 E3 81 86", VerdictConvert, 65001, 0, false, false},
        {"63 61 66 C3 A9", VerdictAsRead, 0, 0, false, false},    // one é: a tie, 2 against 2
        {"C3 A9 74 C3 A9", VerdictConvert, 65001, 0, false, false},
        {"EF BB BF E3 81 82 E3 81 84", VerdictConvert, 65001, 3, false, false},
        {"EF BB E3 81 82 E3 81 84 E3 81 84", VerdictConvert, 65001, 0, false, false},
        {"B1 B2 B3", VerdictConvert, 51932, 0, false, false},     // half-width katakana score as EUC-JP
        {"FE FF", VerdictUtf16, 0, 0, true, true},
        // With a mark, pairs count only as whole units: "！寿" and "（" straddle.
        {"FF FE 01 FF FF 5B", VerdictUtf16, 0, 0, true, false},
        {"FE FF FF 08", VerdictUtf16, 0, 0, true, true},
        {"FF FE E9 00 00 8A", VerdictUtf16, 0, 0, true, false},   // "é言": NUL pair across two units
        {"FF FE 41 00 FF FF 42 00", VerdictNotText, 0, 0, false, false},  // the unit FFFF
        {"FF FE 41 00 00 00 00 00", VerdictNotText, 0, 0, false, false},  // NUL units judged as before
        {"61 FF FF 62", VerdictNotText, 0, 0, false, false},      // no mark: pairs at any offset
        {"FF FF FE 41", VerdictNotText, 0, 0, false, false},
        {"FF FE 41", VerdictNotText, 0, 0, false, false},
        {"", VerdictAsRead, 0, 0, false, false},
    };
    for (const VerdictRow& row : table) {
        TextDecision d = Decide(ParseHex<Bytes>(row.bytes));
        SCOPED_TRACE(row.bytes);
        EXPECT_EQ(row.verdict, d.verdict);
        EXPECT_EQ(row.codePage, static_cast<int>(d.codePage));
        EXPECT_EQ(row.sourceOffset, d.sourceOffset);
        EXPECT_EQ(row.mark, d.byteOrderMark);
        EXPECT_EQ(row.bigEndian, d.bigEndian);
    }
}

TEST(Decision, ScoresOfTheThreePasses) {
    const struct { const char* bytes; int64_t sjis, euc, utf, weighted; } table[] = {
        {"82 A0 82 A2 82 A4", 6, 0, 0, 0},
        {"A4 A2 A4 A4 A4 A6", 0, 6, 0, 0},
        {"E3 81 82 E3 81 84 E3 81 86", 8, 0, 9, 11},
        {"63 61 66 C3 A9", 0, 2, 2, 2},
        {"C3 A9 74 C3 A9", 0, 4, 4, 5},
        {"B1 B2 B3", 0, 2, 0, 0},
        {"8E B1 8E B2", 4, 4, 0, 0},          // kana behind 0x8E; 8E B1 is also a Shift-JIS pair
        {"8F A1 A1 A1", 2, 3, 0, 0},          // 0x8F takes two bytes, the last is left alone
        {"8F A1 41", 2, 0, 0, 0},
        {"81 81 81 41", 4, 0, 0, 0},          // a run of three leads pairs its last with 0x41
        {"81 81 81 0A", 2, 0, 0, 0},          // 0x0A is no second byte
        {"E0 80 80 C0 80", 2, 0, 5, 6},
        {"82", 0, 0, 0, 0},                   // the slack after a lead matches nothing
        {"E3 81", 2, 0, 0, 0},
    };
    for (auto& row : table) {
        Bytes bytes = ParseHex<Bytes>(row.bytes);
        TextScores s = ScoreMultibyte(bytes.data(), bytes.size());
        SCOPED_TRACE(row.bytes);
        EXPECT_EQ(row.sjis, s.shiftJis);
        EXPECT_EQ(row.euc, s.eucJp);
        EXPECT_EQ(row.utf, s.utf8);
        EXPECT_EQ(row.weighted, s.utf8Weighted);
    }
}

TEST(Decision, CountersOfTheStructuralScan) {
    const struct { const char* bytes; uint64_t odd, even, ff, high, escapes; bool binary; } table[] = {
        {"FF FE 41 00", 5, 0, 1, 2, 0, false},      // seeded with the size, plus the NUL at 3
        {"FE FF 00 41", 0, 5, 1, 2, 0, false},
        {"1B 24 1B 28 1B 41 1B", 0, 0, 0, 0, 2, false},
        {"80 FF 41 FF", 0, 0, 2, 3, 0, false},
        {"41 FF FF 00 00 00", 0, 0, 0, 1, 0, true}, // stops at the 0xFF pair
        {"00 00 00 FF", 0, 1, 0, 0, 0, true},       // judged at offset 0: one NUL counted
    };
    for (auto& row : table) {
        Bytes bytes = ParseHex<Bytes>(row.bytes);
        ScanCounts c = ScanStructure(bytes.data(), bytes.size());
        SCOPED_TRACE(row.bytes);
        EXPECT_EQ(row.odd, c.oddNuls);
        EXPECT_EQ(row.even, c.evenNuls);
        EXPECT_EQ(row.ff, c.ffBytes);
        EXPECT_EQ(row.high, c.highBytes);
        EXPECT_EQ(row.escapes, c.escapes);
        EXPECT_EQ(row.binary, c.binary);
    }
}

// Sequences placed across the 64-byte block edges that the fast scan uses.
TEST(Decision, SequencesAcrossBlockEdgesScoreLikeAnywhereElse) {
    const char* pieces[] = {
        "81 81 81 41", "8F A1 A1 A1", "8E B1", "E3 81 82", "C3 A9", "A4 A2 A4", "00 00 8A",
        "1B 24", "FF FF", "82 A0 82 A2 82 A4 82", "88 9F 88 9F 88",
    };
    for (const char* piece : pieces) {
        Bytes seq = ParseHex<Bytes>(piece);
        for (size_t lead : {0u, 1u, 58u, 61u, 62u, 63u, 64u, 65u, 126u, 127u, 128u}) {
            for (unsigned char filler : {0x41, 0x82, 0xA4}) {
                Bytes bytes(lead, filler);
                bytes.insert(bytes.end(), seq.begin(), seq.end());
                bytes.insert(bytes.end(), 70 - (lead % 7), filler);
                TextDecision fast = Decide(bytes);
                TextDecision plain = reference::Decide(bytes.data(), bytes.size());
                EXPECT_TRUE(reference::SameDecision(plain, fast)) << piece << " at " << lead;
                TextScores a = ScoreMultibyte(bytes.data(), bytes.size());
                TextScores b = reference::Score(bytes.data(), bytes.size());
                EXPECT_TRUE(reference::SameScores(b, a)) << piece << " at " << lead << ": " << a.shiftJis
                                                         << "/" << b.shiftJis << " " << a.eucJp << "/"
                                                         << b.eucJp << " " << a.utf8 << "/" << b.utf8;
            }
        }
    }
}

// ---------------------------------------------------------------- decoder

TEST(JisDecoder, RowAndCellArithmetic) {
    const struct { unsigned first, second; const char* sjis; } table[] = {
        {0x21, 0x21, "81 40"},   // ideographic space
        {0x24, 0x22, "82 A0"},   // あ
        {0x30, 0x21, "88 9F"},   // 亜
        {0x34, 0x41, "8A BF"},   // 漢
        {0x2D, 0x21, "87 40"},   // circled one
        {0x5E, 0x7E, "9F FC"},
        {0x5F, 0x21, "E0 40"},
        {0x25, 0x60, "83 80"},   // odd row, cell past 0x5F skips 0x7F
        {0x25, 0x5F, "83 7E"},
        {0x7E, 0x7E, "EF FC"},
    };
    for (auto& row : table) {
        unsigned char out[2] = {0, 0};
        ASSERT_TRUE(JisToShiftJis(row.first, row.second, out)) << row.sjis;
        EXPECT_EQ(std::string(row.sjis) + " ", ShowHex(Bytes(out, out + 2)));
    }
    unsigned char out[2];
    for (auto bad : {std::make_pair(0x20u, 0x21u), std::make_pair(0x21u, 0x7Fu), std::make_pair(0x7Fu, 0x30u),
                     std::make_pair(0xA4u, 0xA2u)})
        EXPECT_FALSE(JisToShiftJis(bad.first, bad.second, out));
}

TEST(JisDecoder, EveryJisPairHasItsOwnShiftJisCode) {
    std::vector<bool> seen(65536, false);
    for (unsigned first = 0x21; first <= 0x7E; ++first)
        for (unsigned second = 0x21; second <= 0x7E; ++second) {
            unsigned char out[2];
            ASSERT_TRUE(JisToShiftJis(first, second, out));
            unsigned code = out[0] << 8 | out[1];
            EXPECT_FALSE(seen[code]) << std::hex << first << " " << second;
            seen[code] = true;
            EXPECT_TRUE((out[0] >= 0x81 && out[0] <= 0x9F) || (out[0] >= 0xE0 && out[0] <= 0xEF)) << code;
            EXPECT_TRUE(out[1] >= 0x40 && out[1] <= 0xFC && out[1] != 0x7F) << code;
        }
}

struct DecodeRow {
    JisSource source;
    const char* input;
    bool ok;
    const char* output;
};

TEST(JisDecoder, DecodesOrRefusesWholeTexts) {
    const DecodeRow table[] = {
        {JisFromIso2022, "41 1B 24 42 24 22 24 24 1B 28 42 0D 0A", true, "41 82 A0 82 A2 0D 0A"},
        {JisFromIso2022, "1B 24 40 30 21 1B 28 4A 5C", true, "88 9F 5C"},
        {JisFromIso2022, "1B 24 28 42 30 21 20 30 21", true, "88 9F 20 88 9F"},  // space inside kanji mode
        {JisFromIso2022, "1B 26 40 1B 24 42 24 22", true, "82 A0"},
        {JisFromIso2022, "1B 28 49 31 32 5F 1B 28 42 41", true, "B1 B2 DF 41"},
        {JisFromIso2022, "41 0E 31 0F 41", true, "41 B1 41"},
        {JisFromIso2022, "B1 1B 5B 33 6D", true, "B1 1B 5B 33 6D"},  // 8-bit kana, a colour escape
        {JisFromIso2022, "1B 24 42 24", false, ""},                  // cut in the middle of a pair
        {JisFromIso2022, "1B 24 42 24 0A", false, ""},
        {JisFromIso2022, "1B 24 28 44 22 2F", false, ""},            // JIS X 0212
        {JisFromIso2022, "1B 28 5A 41", false, ""},                  // unknown designation
        {JisFromIso2022, "1B 26 40 41", false, ""},
        {JisFromIso2022, "1B 28 49 60", false, ""},                  // no katakana at 0x60
        {JisFromIso2022, "41 82 A0", false, ""},
        {JisFromIso2022, "1B 24", false, ""},
        {JisFromEuc, "41 A4 A2 A4 A4 0A", true, "41 82 A0 82 A2 0A"},
        {JisFromEuc, "8E B1 8E DF", true, "B1 DF"},
        {JisFromEuc, "B0 A1 FE FE", true, "88 9F EF FC"},
        {JisFromEuc, "8F B0 A1", false, ""},                         // JIS X 0212
        {JisFromEuc, "A4", false, ""},
        {JisFromEuc, "A4 41", false, ""},
        {JisFromEuc, "8E E0", false, ""},
        {JisFromEuc, "80", false, ""},
        {JisFromEuc, "", true, ""},
    };
    for (auto& row : table) {
        Bytes in = ParseHex<Bytes>(row.input);
        Bytes out(in.size() + 1, 0xEE);
        size_t written = 99;
        bool ok = DecodeToShiftJis(row.source, in.data(), in.size(), out.data(), &written);
        SCOPED_TRACE(row.input);
        EXPECT_EQ(row.ok, ok);
        EXPECT_EQ(0xEE, out[in.size()]) << "wrote past the input length";
        if (ok) {
            EXPECT_EQ(ShowHex(ParseHex<Bytes>(row.output)), ShowHex(Bytes(out.begin(), out.begin() + written)));
        }
    }
}

}  // namespace
