// The block-and-mask decision as this build compiles it (32-byte blocks in
// the 32-bit DLL), against the plain byte-at-a-time rules on generated spans
// whose features straddle block edges, and the in-place byte swap of UTF-16.
#include <gtest/gtest.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <vector>
#include "ByteText.h"
#include "EncodingScan.h"
#include "ReferenceDecision.h"

namespace {

typedef std::vector<unsigned char> Bytes;

// Small deterministic generator, so that a failure names a reproducible case.
struct Generator {
    uint32_t state;
    unsigned Below(unsigned limit) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % limit;
    }
};

const unsigned char multibyte[] = {
    0x81, 0x82, 0x88, 0x8E, 0x8F, 0x9F, 0xA0, 0xA1, 0xA4, 0xB1, 0xBF, 0xC0,
    0xC3, 0xDF, 0xE0, 0xE3, 0xEF, 0xF0, 0xFC, 0xFD, 0xFE, 0x80, 0xA9, 0x9E,
};

// Runs of 7-bit text (some long enough to fill whole blocks), runs of bytes
// of the multibyte encodings, UTF-16-like runs of a byte and a NUL, and now
// and then a NUL pair, an escape or an 0xFF.
Bytes MakeSpan(Generator& g) {
    Bytes out;
    size_t target = g.Below(400);
    while (out.size() < target) {
        unsigned kind = g.Below(10), run = 1 + g.Below(70);
        for (unsigned i = 0; i < run; ++i) {
            if (kind < 3) {
                out.push_back(static_cast<unsigned char>(0x20 + g.Below(0x5F)));
            } else if (kind < 7) {
                out.push_back(multibyte[g.Below(sizeof multibyte)]);
            } else if (kind < 9) {
                unsigned char c = g.Below(4) ? static_cast<unsigned char>(0x41 + g.Below(26))
                                             : multibyte[g.Below(sizeof multibyte)];
                out.push_back(c);
                out.push_back(0);
            } else {
                const unsigned char rare[][2] = {{0, 0}, {0x1B, '$'}, {0x1B, '('}, {0xFF, 0x41}, {0xFF, 0xFF}};
                const unsigned char* pick = rare[g.Below(5)];
                out.insert(out.end(), pick, pick + 2);
                break;
            }
        }
    }
    return out;
}

TEST(DecisionSpans, GeneratedSpansDecideAsThePlainRules) {
    Generator g = {20240601u};
    unsigned scored = 0, utf16 = 0, binary = 0, markedText = 0;
    for (int round = 0; round < 4000; ++round) {
        Bytes span = MakeSpan(g);
        // A heap copy of exactly the span's size: a read past it leaves the allocation.
        unsigned char* copy = static_cast<unsigned char*>(malloc(span.size() + 1));
        if (!span.empty()) memcpy(copy, span.data(), span.size());
        TextDecision fast = DecideEncoding(copy, span.size());
        TextDecision plain = reference::Decide(span.data(), span.size());
        ASSERT_TRUE(reference::SameDecision(plain, fast)) << "round " << round << ": " << ShowHex(span);
        ASSERT_TRUE(reference::SameScores(reference::Score(span.data(), span.size()),
                                          ScoreMultibyte(copy, span.size())))
            << "round " << round << ": " << ShowHex(span);
        free(copy);
        scored += plain.scored;
        utf16 += plain.verdict == VerdictUtf16;
        binary += plain.counts.binary;
        // The same span behind a byte-order mark: its pairs are judged by units.
        Bytes marked = ParseHex<Bytes>(round % 2 ? "FE FF" : "FF FE");
        marked.insert(marked.end(), span.begin(), span.end());
        fast = DecideEncoding(marked.data(), marked.size());
        plain = reference::Decide(marked.data(), marked.size());
        ASSERT_TRUE(reference::SameDecision(plain, fast)) << "round " << round << " marked: " << ShowHex(marked);
        markedText += plain.verdict == VerdictUtf16;
    }
    // The spans reach every branch of the decision often.
    EXPECT_GT(scored, 400u);
    EXPECT_GT(utf16, 400u);
    EXPECT_GT(binary, 400u);
    EXPECT_GT(markedText, 400u);
}

// Runs of lead bytes of every length after 7-bit prefixes of both parities,
// so that odd runs end at block edges and pair with the first byte of a block
// that has no byte of 0x80 or above.
TEST(DecisionSpans, ShiftJisPairIntoASevenBitBlock) {
    for (size_t prefix = 0; prefix < 4; ++prefix) {
        for (size_t lead = 1; lead <= 200; ++lead) {
            Bytes span(prefix, 0x41);
            span.insert(span.end(), lead, 0x82);
            span.insert(span.end(), 100, 0x41);
            TextScores fast = ScoreMultibyte(span.data(), span.size());
            TextScores plain = reference::Score(span.data(), span.size());
            EXPECT_EQ(plain.shiftJis, fast.shiftJis) << prefix << " + " << lead << " lead bytes";
            EXPECT_EQ(plain.eucJp, fast.eucJp) << prefix << " + " << lead << " lead bytes";
        }
    }
}

TEST(Utf16Swap, SwapsWholePairsOnly) {
    struct Row {
        Bytes in, out;
    } table[] = {
        {{}, {}},
        {{0x41}, {0x41}},
        {{0x00, 0x41}, {0x41, 0x00}},
        {{0x00, 0x41, 0x30, 0x42, 0x7A}, {0x41, 0x00, 0x42, 0x30, 0x7A}},
    };
    for (Row& row : table) {
        SwapBytePairs(row.in.data(), row.in.size());
        EXPECT_EQ(ShowHex(row.out), ShowHex(row.in));
    }
    // Every length and start around the 16-byte steps of the vector loop.
    for (size_t start = 0; start < 4; ++start) {
        for (size_t length = 0; length <= 70; ++length) {
            Bytes buffer(start + length + 4);
            for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<unsigned char>(i + 1);
            SwapBytePairs(buffer.data() + start, length);
            for (size_t i = 0; i < buffer.size(); ++i) {
                size_t expected = i;  // position whose original byte belongs here
                if (i >= start && i < start + length - length % 2) expected = ((i - start) % 2) ? i - 1 : i + 1;
                ASSERT_EQ(static_cast<unsigned char>(expected + 1), buffer[i])
                    << "start " << start << " length " << length << " at " << i;
            }
        }
    }
}

}  // namespace
