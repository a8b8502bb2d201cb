// Structural scan, scoring passes and decision over a byte span.
//
// Both halves work on 64-byte blocks. The structural scan skips, whole, every
// block that holds no NUL, 0x1B or 0xFF byte (only its bytes of 0x80 and above
// are counted) and applies the byte rules one at a time inside the others.
// The scoring passes are computed from bit masks of byte classes, one bit per
// byte, instead of three byte-by-byte walks:
//  - UTF-8: every lead byte 0xC0-0xEF is visited by the walk (matches only
//    swallow bytes 0x80-0xBF), so each match is "lead at p-1 (or p-2) and
//    continuation bytes up to p", counted where it ends.
//  - Shift-JIS: the walk lands on the first byte of every run of lead bytes;
//    inside a run it pairs the bytes at even offsets with the byte after them
//    (lead bytes are all valid second bytes), and a run of odd length pairs its
//    last byte with the byte after the run when that is a valid second byte.
//  - EUC-JP: the walk lands on every byte outside 0xA1-0xFE. 0x8E and 0x8F may
//    take the first one or two bytes of the run of 0xA1-0xFE bytes behind them;
//    what is left of the run is paired from its start.
// Positions at even offsets inside runs come from one addition: adding 1 at
// the start of each run that starts on an even bit clears exactly those runs.
#include "EncodingScan.h"
#include <string.h>

// TAVIMORE_NO_SIMD forces the portable paths (the fuzz build checks both).
#if !defined(TAVIMORE_NO_SIMD) && \
    (defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2))
#define TAVIMORE_SSE2 1
#include <emmintrin.h>
#endif

namespace {

const size_t BlockSize = 64;
const uint64_t EvenBits = 0x5555555555555555ull;

inline unsigned CountBits(uint64_t v) {
    v = v - ((v >> 1) & 0x5555555555555555ull);
    v = (v & 0x3333333333333333ull) + ((v >> 2) & 0x3333333333333333ull);
    v = (v + (v >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<unsigned>((v * 0x0101010101010101ull) >> 56);
}

// Byte at offset, or 0 beyond the data (the zero slack behind a loaded file).
inline unsigned ByteAt(const unsigned char* bytes, size_t length, size_t offset) {
    return offset < length ? bytes[offset] : 0u;
}

// ---------------------------------------------------------------- structure

// Applies the byte rules to bytes[from, to). Returns false at a binary
// signature, with the counters as they stood when it was found.
bool ScanBytes(const unsigned char* bytes, size_t length, size_t from, size_t to, ScanCounts& counts) {
    for (size_t i = from; i < to; ++i) {
        unsigned b = bytes[i];
        if (b == 0) {
            if (i & 1) ++counts.oddNuls; else ++counts.evenNuls;
            if (ByteAt(bytes, length, i + 1) == 0) {
                unsigned following = ByteAt(bytes, length, i + 2);
                unsigned preceding = i ? bytes[i - 1] : 0u;
                bool suspicious = following == 0 || (following >= 0x80 && preceding >= 0x80);
                if (suspicious && length - i > 2) return false;
            }
        } else if (b >= 0x80) {
            ++counts.highBytes;
            if (b == 0xFF) {
                if (ByteAt(bytes, length, i + 1) == 0xFF) return false;
                ++counts.ffBytes;
            }
        } else if (b == 0x1B) {
            unsigned next = ByteAt(bytes, length, i + 1);
            if (next == '$' || next == '(') ++counts.escapes;
        }
    }
    return true;
}

// For a full block: whether it holds a NUL, 0x1B or 0xFF byte, and how many of
// its bytes are 0x80 or above.
bool BlockIsPlain(const unsigned char* block, unsigned& high) {
#ifdef TAVIMORE_SSE2
    const __m128i zero = _mm_setzero_si128();
    const __m128i escape = _mm_set1_epi8(0x1B);
    const __m128i allOnes = _mm_set1_epi8(static_cast<char>(0xFF));
    __m128i special = zero;
    uint64_t highMask = 0;
    for (int part = 0; part < 4; ++part) {
        __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * part));
        special = _mm_or_si128(special, _mm_or_si128(_mm_cmpeq_epi8(x, zero),
                                        _mm_or_si128(_mm_cmpeq_epi8(x, escape), _mm_cmpeq_epi8(x, allOnes))));
        highMask |= static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(x))) << (16 * part);
    }
    if (_mm_movemask_epi8(special)) return false;
    high = CountBits(highMask);
    return true;
#else
    const uint64_t ones = 0x0101010101010101ull, tops = 0x8080808080808080ull;
    uint64_t special = 0, highBits = 0;
    for (int part = 0; part < 8; ++part) {
        uint64_t w;
        memcpy(&w, block + 8 * part, 8);
        uint64_t e = w ^ (ones * 0x1B), f = ~w;
        special |= ((w - ones) & ~w) | ((e - ones) & ~e) | ((f - ones) & ~f);
        highBits += CountBits(w & tops);
    }
    if (special & tops) return false;
    high = static_cast<unsigned>(highBits);
    return true;
#endif
}

// ------------------------------------------------------------------ scoring

// One bit per byte of a 64-byte block for each class the scoring passes use.
struct ClassMasks {
    uint64_t sjisLead;   // 0x81-0x9F, 0xE0-0xFC
    uint64_t sjisTrail;  // 0x40-0xFC
    uint64_t euc;        // 0xA1-0xFE
    uint64_t eucKana;    // 0xA1-0xDF
    uint64_t single2;    // 0x8E
    uint64_t single3;    // 0x8F
    uint64_t utfLead2;   // 0xC0-0xDF
    uint64_t utfLead3;   // 0xE0-0xEF
    uint64_t utfNext;    // 0x80-0xBF
};

#ifndef TAVIMORE_SSE2
// Portable masks: a table of class bits per byte value, one byte at a time.
enum ClassBit {
    BitSjisLead = 1, BitSjisTrail = 2, BitEuc = 4, BitEucKana = 8, BitSingle2 = 16,
    BitSingle3 = 32, BitUtfLead2 = 64, BitUtfLead3 = 128, BitUtfNext = 256,
};

constexpr unsigned ClassOf(unsigned b) {
    return ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC) ? BitSjisLead : 0) |
           (b >= 0x40 && b <= 0xFC ? BitSjisTrail : 0) | (b >= 0xA1 && b <= 0xFE ? BitEuc : 0) |
           (b >= 0xA1 && b <= 0xDF ? BitEucKana : 0) | (b == 0x8E ? BitSingle2 : 0) |
           (b == 0x8F ? BitSingle3 : 0) | (b >= 0xC0 && b <= 0xDF ? BitUtfLead2 : 0) |
           (b >= 0xE0 && b <= 0xEF ? BitUtfLead3 : 0) | (b >= 0x80 && b <= 0xBF ? BitUtfNext : 0);
}

struct ClassTable {
    unsigned short bits[256];
};

constexpr ClassTable MakeClassTable() {
    ClassTable table = {};
    for (unsigned b = 0; b < 256; ++b) table.bits[b] = static_cast<unsigned short>(ClassOf(b));
    return table;
}

constexpr ClassTable classTable = MakeClassTable();

inline void BuildMasks(const unsigned char* block, ClassMasks& m) {
    m = ClassMasks();
    for (unsigned i = 0; i < BlockSize; ++i) {
        unsigned c = classTable.bits[block[i]];
        if (!c) continue;
        uint64_t bit = 1ull << i;
        if (c & BitSjisLead) m.sjisLead |= bit;
        if (c & BitSjisTrail) m.sjisTrail |= bit;
        if (c & BitEuc) m.euc |= bit;
        if (c & BitEucKana) m.eucKana |= bit;
        if (c & BitSingle2) m.single2 |= bit;
        if (c & BitSingle3) m.single3 |= bit;
        if (c & BitUtfLead2) m.utfLead2 |= bit;
        if (c & BitUtfLead3) m.utfLead3 |= bit;
        if (c & BitUtfNext) m.utfNext |= bit;
    }
}
#endif

#ifdef TAVIMORE_SSE2
// Bytes of x in [low, high], as a 16-bit mask.
inline unsigned InRange(__m128i x, unsigned char low, unsigned char high) {
    __m128i shifted = _mm_sub_epi8(x, _mm_set1_epi8(static_cast<char>(low)));
    __m128i limit = _mm_set1_epi8(static_cast<char>(high - low));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(shifted, limit), shifted)));
}

inline unsigned Equal(__m128i x, unsigned char value) {
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, _mm_set1_epi8(static_cast<char>(value)))));
}

inline void BuildMasks(const unsigned char* block, ClassMasks& m) {
    m = ClassMasks();
    for (unsigned part = 0; part < 4; ++part) {
        __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * part));
        unsigned shift = 16 * part;
        m.sjisLead |= static_cast<uint64_t>(InRange(x, 0x81, 0x9F) | InRange(x, 0xE0, 0xFC)) << shift;
        m.sjisTrail |= static_cast<uint64_t>(InRange(x, 0x40, 0xFC)) << shift;
        m.euc |= static_cast<uint64_t>(InRange(x, 0xA1, 0xFE)) << shift;
        m.eucKana |= static_cast<uint64_t>(InRange(x, 0xA1, 0xDF)) << shift;
        m.single2 |= static_cast<uint64_t>(Equal(x, 0x8E)) << shift;
        m.single3 |= static_cast<uint64_t>(Equal(x, 0x8F)) << shift;
        m.utfLead2 |= static_cast<uint64_t>(InRange(x, 0xC0, 0xDF)) << shift;
        m.utfLead3 |= static_cast<uint64_t>(InRange(x, 0xE0, 0xEF)) << shift;
        m.utfNext |= static_cast<uint64_t>(InRange(x, 0x80, 0xBF)) << shift;
    }
}
#endif

// Masks of the block at offset; bytes beyond the data read as 0 and belong to
// no class.
void LoadMasks(const unsigned char* bytes, size_t length, size_t offset, ClassMasks& m) {
    if (offset >= length) {
        m = ClassMasks();
    } else if (length - offset >= BlockSize) {
        BuildMasks(bytes + offset, m);
    } else {
        unsigned char padded[BlockSize] = {};
        memcpy(padded, bytes + offset, length - offset);
        BuildMasks(padded, m);
    }
}

// Runs of set bits, followed across blocks: whether the previous block ended
// inside a run, and whether that last bit had an even offset in its run.
struct RunPhase {
    uint64_t lastInRun;  // 0 or 1
    uint64_t lastEven;   // 0 or 1
};

// Bits of runs that lie at an even offset (0, 2, 4 ...) from their run's start.
inline uint64_t EvenOffsets(uint64_t runs, RunPhase& phase) {
    uint64_t starts = runs & ~((runs << 1) | phase.lastInRun);
    uint64_t evenStarts = starts & EvenBits;
    // A run carried in from the previous block: bit 0 has an even offset when
    // the previous block's last bit had an odd one.
    evenStarts |= runs & phase.lastInRun & (phase.lastEven ^ 1);
    uint64_t fromEven = runs & ~(runs + evenStarts);
    uint64_t fromOdd = runs & ~fromEven;
    uint64_t even = (fromEven & EvenBits) | (fromOdd & ~EvenBits);
    phase.lastInRun = runs >> 63;
    phase.lastEven = even >> 63;
    return even;
}

inline uint64_t Prev1(uint64_t m, uint64_t previous) { return (m << 1) | (previous >> 63); }
inline uint64_t Prev2(uint64_t m, uint64_t previous) { return (m << 2) | (previous >> 62); }
inline uint64_t Next1(uint64_t m, uint64_t next) { return (m >> 1) | (next << 63); }

TextScores ScoreBlocks(const unsigned char* bytes, size_t length) {
    uint64_t sjisPairs = 0, eucPairs = 0, eucTriples = 0, utfPairs = 0, utfTriples = 0;
    RunPhase sjisPhase = {0, 0}, eucPhase = {0, 0};
    // Carried from the previous block.
    uint64_t prevSjisOpen = 0, prevSingle2 = 0, prevSingle3 = 0, prevTripleStart = 0;
    uint64_t prevUtfLead2 = 0, prevUtfLead3 = 0, prevUtfNext = 0;
    ClassMasks cur, next;
    LoadMasks(bytes, length, 0, cur);
    for (size_t offset = 0; offset < length; offset += BlockSize) {
        LoadMasks(bytes, length, offset + BlockSize, next);

        // Shift-JIS: a lead byte at an even offset of its run opens a pair,
        // which the byte after it closes when it is a valid second byte.
        uint64_t sjisOpen = cur.sjisLead & EvenOffsets(cur.sjisLead, sjisPhase);
        sjisPairs += CountBits(Prev1(sjisOpen, prevSjisOpen) & cur.sjisTrail);
        prevSjisOpen = sjisOpen;

        // EUC-JP: 0x8E takes one kana byte, 0x8F two bytes; the rest pairs up.
        uint64_t kana = Prev1(cur.single2, prevSingle2) & cur.eucKana;
        uint64_t tripleStart = Prev1(cur.single3, prevSingle3) & cur.euc & Next1(cur.euc, next.euc);
        uint64_t tripleSecond = Prev1(tripleStart, prevTripleStart);
        uint64_t rest = cur.euc & ~kana & ~tripleStart & ~tripleSecond;
        uint64_t restOdd = rest & ~EvenOffsets(rest, eucPhase);
        eucPairs += CountBits(kana) + CountBits(restOdd);
        eucTriples += CountBits(tripleStart);
        prevSingle2 = cur.single2;
        prevSingle3 = cur.single3;
        prevTripleStart = tripleStart;

        // UTF-8: counted where each sequence ends.
        uint64_t two = Prev1(cur.utfLead2, prevUtfLead2) & cur.utfNext;
        uint64_t three = Prev2(cur.utfLead3, prevUtfLead3) & Prev1(cur.utfNext, prevUtfNext) & cur.utfNext;
        utfPairs += CountBits(two);
        utfTriples += CountBits(three);
        prevUtfLead2 = cur.utfLead2;
        prevUtfLead3 = cur.utfLead3;
        prevUtfNext = cur.utfNext;

        cur = next;
    }
    TextScores scores;
    scores.shiftJis = static_cast<int64_t>(2 * sjisPairs);
    scores.eucJp = static_cast<int64_t>(2 * eucPairs + 3 * eucTriples);
    scores.utf8 = static_cast<int64_t>(2 * utfPairs + 3 * utfTriples);
    scores.utf8Weighted = scores.utf8 + scores.utf8 / 4;
    return scores;
}

TextDecision DecideBlocks(const unsigned char* bytes, size_t length) {
    TextDecision d = TextDecision();
    d.verdict = VerdictAsRead;
    d.codePage = CodePageNone;
    d.counts = ScanStructure(bytes, length);
    const ScanCounts& c = d.counts;
    if (c.binary) {
        d.verdict = VerdictNotText;
    } else if (c.oddNuls || c.evenNuls) {
        if (length & 1) {
            d.verdict = VerdictNotText;
        } else {
            unsigned first = ByteAt(bytes, length, 0), second = ByteAt(bytes, length, 1);
            d.verdict = VerdictUtf16;
            d.byteOrderMark = (first == 0xFF && second == 0xFE) || (first == 0xFE && second == 0xFF);
            d.bigEndian = c.evenNuls > c.oddNuls;
        }
    } else if (c.ffBytes) {
        d.verdict = VerdictNotText;
    } else if (c.escapes >= 2) {
        d.verdict = VerdictConvert;
        d.codePage = CodePageJis;
    } else if (c.highBytes) {
        d.scored = true;
        d.scores = ScoreBlocks(bytes, length);
        const TextScores& s = d.scores;
        if (s.eucJp > s.shiftJis && s.eucJp > s.utf8Weighted) {
            d.verdict = VerdictConvert;
            d.codePage = CodePageEuc;
        } else if (s.utf8Weighted > s.eucJp && s.utf8Weighted > s.shiftJis) {
            d.verdict = VerdictConvert;
            d.codePage = CodePageUtf8;
            if (ByteAt(bytes, length, 0) == 0xEF && ByteAt(bytes, length, 1) == 0xBB &&
                ByteAt(bytes, length, 2) == 0xBF)
                d.sourceOffset = 3;
        }
    }
    return d;
}

}  // namespace

ScanCounts ScanStructure(const unsigned char* bytes, size_t length) {
    ScanCounts counts = ScanCounts();
    unsigned first = ByteAt(bytes, length, 0), second = ByteAt(bytes, length, 1);
    if (first == 0xFF && second == 0xFE) counts.oddNuls = length;
    if (first == 0xFE && second == 0xFF) counts.evenNuls = length;
    size_t offset = 0;
    for (; length - offset >= BlockSize; offset += BlockSize) {
        unsigned high = 0;
        if (BlockIsPlain(bytes + offset, high)) {
            counts.highBytes += high;
        } else if (!ScanBytes(bytes, length, offset, offset + BlockSize, counts)) {
            counts.binary = true;
            return counts;
        }
    }
    if (!ScanBytes(bytes, length, offset, length, counts)) counts.binary = true;
    return counts;
}

TextScores ScoreMultibyte(const unsigned char* bytes, size_t length) {
    return ScoreBlocks(bytes, length);
}

TextDecision DecideEncoding(const unsigned char* bytes, size_t length) {
    return DecideBlocks(bytes, length);
}
