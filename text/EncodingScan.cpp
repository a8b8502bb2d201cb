// Structural scan, scoring passes and decision over a byte span.
//
// Both halves work on blocks of one bit per byte in a machine word: 32 bytes
// in 32-bit builds (where 64-bit masks would live in register pairs), 64 bytes
// in 64-bit builds.
//
// The structural scan skips, whole, every block that holds no NUL, 0x1B or
// 0xFF byte (only its bytes of 0x80 and above are counted). A block whose only
// special bytes are NULs, none of them followed by another NUL, is counted
// from its NUL mask by offset parity. Every other block goes through the byte
// rules one at a time.
//
// The scoring passes are computed per block instead of three byte-by-byte
// walks. Every byte's class is tested together with the classes of the bytes
// just before and after it, so matches that are fixed by their neighbours are
// counted directly:
//  - UTF-8: every lead byte 0xC0-0xEF is visited by the walk (matches only
//    swallow bytes 0x80-0xBF), so each match is "lead at p-1 (or p-2) and
//    continuation bytes up to p", counted where it ends.
//  - EUC-JP: the walk lands on every byte outside 0xA1-0xFE. 0x8E and 0x8F may
//    take the first one or two bytes of the run of 0xA1-0xFE bytes behind them;
//    what is left of the run ("rest") is paired from its start.
//  - Shift-JIS: the walk lands on the first byte of every run of lead bytes;
//    inside a run it pairs the bytes at even offsets with the byte after them
//    (lead bytes are all valid second bytes), and a run of odd length pairs its
//    last byte with the byte after the run when that is a valid second byte.
// The pairing inside runs depends on the run's start, so it is done on bit
// masks carried from block to block: adding 1 at the start of each run that
// starts on an even bit clears exactly the bits at even offsets of those runs.
#include "EncodingScan.h"
#include <string.h>

// TAVIMORE_NO_SIMD forces the portable paths (the fuzz build checks both).
#if !defined(TAVIMORE_NO_SIMD) && \
    (defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2))
#define TAVIMORE_SSE2 1
#include <emmintrin.h>
#endif

namespace {

// TAVIMORE_MASK32 forces 32-bit masks in a 64-bit build, so that the 32-bit
// DLL's block layout can be fuzzed natively.
#if defined(TAVIMORE_MASK32) || UINTPTR_MAX <= 0xFFFFFFFFu
typedef uint32_t Mask;
#else
typedef uint64_t Mask;
#endif

const size_t BlockSize = sizeof(Mask) * 8;
const unsigned TopBit = BlockSize - 1;
const Mask EvenBits = static_cast<Mask>(0x5555555555555555ull);
const Mask OddBits = static_cast<Mask>(0xAAAAAAAAAAAAAAAAull);

inline unsigned CountBits(Mask v) {
    v = v - ((v >> 1) & static_cast<Mask>(0x5555555555555555ull));
    v = (v & static_cast<Mask>(0x3333333333333333ull)) + ((v >> 2) & static_cast<Mask>(0x3333333333333333ull));
    v = (v + (v >> 4)) & static_cast<Mask>(0x0F0F0F0F0F0F0F0Full);
    return static_cast<unsigned>((v * static_cast<Mask>(0x0101010101010101ull)) >> (BlockSize - 8));
}

// Byte at offset, or 0 beyond the data (the zero slack behind a loaded file).
inline unsigned ByteAt(const unsigned char* bytes, size_t length, size_t offset) {
    return offset < length ? bytes[offset] : 0u;
}

// ---------------------------------------------------------------- structure

// Applies the byte rules to bytes[from, to). Returns false at a binary
// signature, with the counters as they stood when it was found. In marked
// UTF-16 (marked true) only pairs that start at an even offset are whole
// units: a NUL pair or an FF pair that straddles two units is text, while a
// whole NUL unit (U+0000) before the data's last unit is binary, whatever
// follows it, since the text handed on would end there.
bool ScanBytes(const unsigned char* bytes, size_t length, size_t from, size_t to, bool marked,
               ScanCounts& counts) {
    for (size_t i = from; i < to; ++i) {
        unsigned b = bytes[i];
        bool wholeUnit = !marked || (i & 1) == 0;
        if (b == 0) {
            if (i & 1) ++counts.oddNuls; else ++counts.evenNuls;
            if (wholeUnit && ByteAt(bytes, length, i + 1) == 0) {
                unsigned following = ByteAt(bytes, length, i + 2);
                unsigned preceding = i ? bytes[i - 1] : 0u;
                bool suspicious = marked || following == 0 || (following >= 0x80 && preceding >= 0x80);
                if (suspicious && length - i > 2) return false;
            }
        } else if (b >= 0x80) {
            ++counts.highBytes;
            if (b == 0xFF) {
                if (wholeUnit && ByteAt(bytes, length, i + 1) == 0xFF) return false;
                ++counts.ffBytes;
            }
        } else if (b == 0x1B) {
            unsigned next = ByteAt(bytes, length, i + 1);
            if (next == '$' || next == '(') ++counts.escapes;
        }
    }
    return true;
}

// What the structural scan needs of a full block: its NUL bytes and its bytes
// of 0x80 and above, one bit each, and whether it holds a 0x1B or 0xFF byte.
struct BlockShape {
    Mask nuls;
    Mask high;
    bool escapeOrFF;
};

#ifdef TAVIMORE_SSE2
// Whether the block holds a NUL, 0x1B or 0xFF byte; the mask of its high
// bytes either way.
inline bool BlockIsPlain(const unsigned char* block, Mask& high) {
    const __m128i zero = _mm_setzero_si128();
    __m128i special = zero;
    high = 0;
    for (unsigned part = 0; part < BlockSize / 16; ++part) {
        __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * part));
        __m128i odd = _mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8(0x1B)),
                                   _mm_cmpeq_epi8(x, _mm_set1_epi8(static_cast<char>(0xFF))));
        special = _mm_or_si128(special, _mm_or_si128(_mm_cmpeq_epi8(x, zero), odd));
        high |= static_cast<Mask>(static_cast<unsigned>(_mm_movemask_epi8(x))) << (16 * part);
    }
    return _mm_movemask_epi8(special) == 0;
}

inline void ShapeOf(const unsigned char* block, BlockShape& shape) {
    const __m128i zero = _mm_setzero_si128();
    __m128i odd = zero;
    shape.nuls = 0;
    for (unsigned part = 0; part < BlockSize / 16; ++part) {
        __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * part));
        odd = _mm_or_si128(odd, _mm_or_si128(_mm_cmpeq_epi8(x, _mm_set1_epi8(0x1B)),
                                             _mm_cmpeq_epi8(x, _mm_set1_epi8(static_cast<char>(0xFF)))));
        shape.nuls |= static_cast<Mask>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, zero))))
                      << (16 * part);
    }
    shape.escapeOrFF = _mm_movemask_epi8(odd) != 0;
}
#else
inline bool BlockIsPlain(const unsigned char* block, Mask& high) {
    const uint64_t ones = 0x0101010101010101ull, tops = 0x8080808080808080ull;
    uint64_t special = 0;
    high = 0;
    for (unsigned part = 0; part < BlockSize / 8; ++part) {
        uint64_t w;
        memcpy(&w, block + 8 * part, 8);
        uint64_t e = w ^ (ones * 0x1B), f = ~w;
        special |= ((w - ones) & ~w) | ((e - ones) & ~e) | ((f - ones) & ~f);
        // The top bit of byte k lands on bit 56 + k.
        high |= static_cast<Mask>((((w & tops) >> 7) * 0x0102040810204080ull) >> 56) << (8 * part);
    }
    return (special & tops) == 0;
}

inline void ShapeOf(const unsigned char* block, BlockShape& shape) {
    shape.nuls = 0;
    shape.escapeOrFF = false;
    for (unsigned i = 0; i < BlockSize; ++i) {
        shape.nuls |= static_cast<Mask>(block[i] == 0) << i;
        shape.escapeOrFF = shape.escapeOrFF || block[i] == 0x1B || block[i] == 0xFF;
    }
}
#endif

// Counts a full block at offset whose NULs are all single (no NUL follows a
// NUL, the first byte of the next block included) and that holds no 0x1B or
// 0xFF byte. Returns false, counting nothing, for any other block.
inline bool CountSingleNuls(const unsigned char* bytes, size_t length, size_t offset, Mask high,
                            ScanCounts& counts) {
    BlockShape shape;
    ShapeOf(bytes + offset, shape);
    if (shape.escapeOrFF) return false;
    Mask nextIsNul = ByteAt(bytes, length, offset + BlockSize) == 0 ? 1u : 0u;
    if (shape.nuls & ((shape.nuls >> 1) | (nextIsNul << TopBit))) return false;
    // Blocks start at even offsets: bit parity is offset parity.
    counts.oddNuls += CountBits(shape.nuls & OddBits);
    counts.evenNuls += CountBits(shape.nuls & EvenBits);
    counts.highBytes += CountBits(high);
    return true;
}

// ------------------------------------------------------------------ scoring

// Per block: the masks whose pairing depends on where their runs start, and
// the running totals of the matches that are fixed by their neighbours.
struct BlockClasses {
    Mask sjisLead;   // 0x81-0x9F, 0xE0-0xFC
    Mask sjisTrail;  // 0x40-0xFC
    Mask eucRest;    // 0xA1-0xFE not taken by a 0x8E or 0x8F sequence
};

// Runs of set bits, followed across blocks: whether the previous block ended
// inside a run, and whether that last bit had an even offset in its run.
struct RunPhase {
    Mask lastInRun;  // 0 or 1
    Mask lastEven;   // 0 or 1
};

struct ScoreState {
    RunPhase sjisPhase;
    RunPhase eucPhase;
    Mask prevSjisOpen;
    uint64_t sjisPairs;  // Shift-JIS pairs
    uint64_t eucPairs;   // EUC-JP pairs inside runs of "rest"
    uint64_t eucScore;   // EUC-JP score of the 0x8E and 0x8F sequences
    uint64_t utfScore;   // UTF-8 score
#ifdef TAVIMORE_SSE2
    // Byte lanes adding up the EUC-JP score of the 0x8E and 0x8F sequences and
    // the UTF-8 score (2 or 3 where a sequence ends); folded into the totals
    // before any lane can overflow.
    __m128i laneEuc, laneUtf;
    unsigned blocksInLanes;
#endif
};

#ifdef TAVIMORE_SSE2
// Signed byte comparisons: the classes are ranges of bytes 0x80 and above,
// which compare as negative numbers in order.
inline __m128i Above(__m128i x, int value) { return _mm_cmpgt_epi8(x, _mm_set1_epi8(static_cast<char>(value))); }
inline __m128i Below(__m128i x, int value) { return _mm_cmplt_epi8(x, _mm_set1_epi8(static_cast<char>(value))); }
inline __m128i Is(__m128i x, int value) { return _mm_cmpeq_epi8(x, _mm_set1_epi8(static_cast<char>(value))); }

inline __m128i EucByte(__m128i x) { return _mm_and_si128(Above(x, 0xA0), Below(x, 0xFF)); }    // 0xA1-0xFE
inline __m128i UtfNext(__m128i x) { return Below(x, 0xC0); }                                   // 0x80-0xBF

const unsigned LaneBudget = 255 / (3 * (BlockSize / 16));  // blocks before a lane could pass 255

inline void FoldLanes(ScoreState& s) {
    const __m128i zero = _mm_setzero_si128();
    uint64_t sums[2];
    __m128i* lanes[2] = {&s.laneEuc, &s.laneUtf};
    uint64_t* totals[2] = {&s.eucScore, &s.utfScore};
    for (int k = 0; k < 2; ++k) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(sums), _mm_sad_epu8(*lanes[k], zero));
        *totals[k] += sums[0] + sums[1];
        *lanes[k] = zero;
    }
    s.blocksInLanes = 0;
}

// Classes of the block at p; p[-2] to p[BlockSize] must be readable.
inline void ClassifyBlock(const unsigned char* p, ScoreState& s, BlockClasses& c) {
    c.sjisLead = c.sjisTrail = c.eucRest = 0;
    for (unsigned part = 0; part < BlockSize / 16; ++part) {
        const unsigned char* q = p + 16 * part;
        __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
        __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q - 1));
        __m128i twoBefore = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q - 2));
        __m128i after = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + 1));
        unsigned shift = 16 * part;

        __m128i belowFD = Below(x, 0xFD);
        __m128i lead = _mm_or_si128(_mm_and_si128(Above(x, 0x80), Below(x, 0xA0)),
                                    _mm_and_si128(Above(x, 0xDF), belowFD));
        __m128i trail = _mm_or_si128(Above(x, 0x3F), belowFD);
        c.sjisLead |= static_cast<Mask>(static_cast<unsigned>(_mm_movemask_epi8(lead))) << shift;
        c.sjisTrail |= static_cast<Mask>(static_cast<unsigned>(_mm_movemask_epi8(trail))) << shift;

        __m128i eucHere = EucByte(x), eucBefore = EucByte(before);
        __m128i kana = _mm_and_si128(Is(before, 0x8E), _mm_and_si128(Above(x, 0xA0), Below(x, 0xE0)));
        __m128i tripleStart = _mm_and_si128(Is(before, 0x8F), _mm_and_si128(eucHere, EucByte(after)));
        __m128i tripleSecond = _mm_and_si128(Is(twoBefore, 0x8F), _mm_and_si128(eucBefore, eucHere));
        __m128i taken = _mm_or_si128(kana, _mm_or_si128(tripleStart, tripleSecond));
        c.eucRest |= static_cast<Mask>(static_cast<unsigned>(_mm_movemask_epi8(_mm_andnot_si128(taken, eucHere))))
                     << shift;
        // A kana pair ends behind 0x8E, a triple starts behind 0x8F: never both.
        const __m128i two = _mm_set1_epi8(2), three = _mm_set1_epi8(3);
        s.laneEuc = _mm_add_epi8(s.laneEuc, _mm_or_si128(_mm_and_si128(kana, two), _mm_and_si128(tripleStart, three)));

        __m128i nextHere = UtfNext(x);
        __m128i lead2 = _mm_and_si128(Above(before, 0xBF), Below(before, 0xE0));
        __m128i lead3 = _mm_and_si128(Above(twoBefore, 0xDF), Below(twoBefore, 0xF0));
        // A pair ends behind a lead byte, a triple behind a continuation byte.
        __m128i pairEnd = _mm_and_si128(lead2, nextHere);
        __m128i tripleEnd = _mm_and_si128(lead3, _mm_and_si128(UtfNext(before), nextHere));
        s.laneUtf = _mm_add_epi8(s.laneUtf, _mm_or_si128(_mm_and_si128(pairEnd, two), _mm_and_si128(tripleEnd, three)));
    }
    if (++s.blocksInLanes == LaneBudget) FoldLanes(s);
}

// Whether the block at p holds no byte of 0x80 and above.
inline bool BlockIsSevenBit(const unsigned char* p) {
    __m128i any = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    for (unsigned part = 1; part < BlockSize / 16; ++part)
        any = _mm_or_si128(any, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * part)));
    return _mm_movemask_epi8(any) == 0;
}
#else
// Portable classes: a table of class bits per byte value, one byte at a time.
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

// Classes of the block at p; p[-2] to p[BlockSize] must be readable.
inline void ClassifyBlock(const unsigned char* p, ScoreState& s, BlockClasses& c) {
    c.sjisLead = c.sjisTrail = c.eucRest = 0;
    unsigned twoBefore = classTable.bits[p[-2]], before = classTable.bits[p[-1]];
    for (unsigned i = 0; i < BlockSize; ++i) {
        unsigned here = classTable.bits[p[i]], after = classTable.bits[p[i + 1]];
        Mask bit = static_cast<Mask>(1) << i;
        if (here & BitSjisLead) c.sjisLead |= bit;
        if (here & BitSjisTrail) c.sjisTrail |= bit;
        bool kana = (before & BitSingle2) && (here & BitEucKana);
        bool tripleStart = (before & BitSingle3) && (here & BitEuc) && (after & BitEuc);
        bool tripleSecond = (twoBefore & BitSingle3) && (before & BitEuc) && (here & BitEuc);
        if ((here & BitEuc) && !kana && !tripleStart && !tripleSecond) c.eucRest |= bit;
        s.eucScore += 2 * kana + 3 * tripleStart;
        s.utfScore += 2 * ((before & BitUtfLead2) && (here & BitUtfNext));
        s.utfScore += 3 * ((twoBefore & BitUtfLead3) && (before & BitUtfNext) && (here & BitUtfNext));
        twoBefore = before;
        before = here;
    }
}

inline bool BlockIsSevenBit(const unsigned char* p) {
    unsigned any = 0;
    for (unsigned i = 0; i < BlockSize; ++i) any |= p[i];
    return any < 0x80;
}
#endif

// Bits of runs that lie at an even offset (0, 2, 4 ...) from their run's start.
inline Mask EvenOffsets(Mask runs, RunPhase& phase) {
    Mask starts = runs & ~((runs << 1) | phase.lastInRun);
    Mask evenStarts = starts & EvenBits;
    // A run carried in from the previous block: bit 0 has an even offset when
    // the previous block's last bit had an odd one.
    evenStarts |= runs & phase.lastInRun & (phase.lastEven ^ 1);
    Mask fromEven = runs & ~(runs + evenStarts);
    Mask fromOdd = runs & ~fromEven;
    Mask even = (fromEven & EvenBits) | (fromOdd & OddBits);
    phase.lastInRun = runs >> TopBit;
    phase.lastEven = even >> TopBit;
    return even;
}

// Scores the block at p (p[-2] to p[BlockSize] readable, bytes beyond the data
// zero).
inline void ScoreBlock(const unsigned char* p, ScoreState& s) {
    BlockClasses c;
    ClassifyBlock(p, s, c);
    // Shift-JIS: a lead byte at an even offset of its run opens a pair, which
    // the byte after it closes when it is a valid second byte.
    Mask sjisOpen = c.sjisLead & EvenOffsets(c.sjisLead, s.sjisPhase);
    s.sjisPairs += CountBits(((sjisOpen << 1) | (s.prevSjisOpen >> TopBit)) & c.sjisTrail);
    s.prevSjisOpen = sjisOpen;
    // EUC-JP: what is left of each run pairs up from its start.
    s.eucPairs += CountBits(c.eucRest & ~EvenOffsets(c.eucRest, s.eucPhase));
}

TextScores ScoreBlocks(const unsigned char* bytes, size_t length) {
    ScoreState s = ScoreState();
#ifdef TAVIMORE_SSE2
    s.laneEuc = s.laneUtf = _mm_setzero_si128();
#endif
    for (size_t offset = 0; offset < length; offset += BlockSize) {
        if (offset >= 2 && length - offset > BlockSize) {
            if (BlockIsSevenBit(bytes + offset)) {
                // No class here, so no run goes on into the next block, and
                // no sequence ends in it but a Shift-JIS pair whose second
                // byte (0x40-0x7F) is this block's first.
                if ((s.prevSjisOpen >> TopBit) && bytes[offset] >= 0x40) ++s.sjisPairs;
                s.sjisPhase.lastInRun = s.eucPhase.lastInRun = 0;
                s.prevSjisOpen = 0;
                continue;
            }
            ScoreBlock(bytes + offset, s);
        } else {
            // First and last blocks: bytes two before to one after, zero
            // outside the data.
            unsigned char window[2 + BlockSize + 1];
            for (size_t k = 0; k < sizeof window; ++k) {
                size_t at = offset + k;  // bytes[at - 2]
                window[k] = at >= 2 && at - 2 < length ? bytes[at - 2] : 0;
            }
            ScoreBlock(window + 2, s);
        }
    }
#ifdef TAVIMORE_SSE2
    FoldLanes(s);
#endif
    TextScores scores;
    scores.shiftJis = static_cast<int64_t>(2 * s.sjisPairs);
    scores.eucJp = static_cast<int64_t>(2 * s.eucPairs + s.eucScore);
    scores.utf8 = static_cast<int64_t>(s.utfScore);
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
    // A byte-order mark declares UTF-16: pairs are judged by whole units.
    bool marked = counts.oddNuls || counts.evenNuls;
    size_t offset = 0;
    for (; length - offset >= BlockSize; offset += BlockSize) {
        Mask high = 0;
        if (BlockIsPlain(bytes + offset, high)) {
            counts.highBytes += CountBits(high);
        } else if (!CountSingleNuls(bytes, length, offset, high, counts) &&
                   !ScanBytes(bytes, length, offset, offset + BlockSize, marked, counts)) {
            counts.binary = true;
            return counts;
        }
    }
    if (!ScanBytes(bytes, length, offset, length, marked, counts)) counts.binary = true;
    return counts;
}

TextScores ScoreMultibyte(const unsigned char* bytes, size_t length) {
    return ScoreBlocks(bytes, length);
}

TextDecision DecideEncoding(const unsigned char* bytes, size_t length) {
    return DecideBlocks(bytes, length);
}

void SwapBytePairs(unsigned char* bytes, size_t length) {
    size_t i = 0;
#ifdef TAVIMORE_SSE2
    for (; length - i >= 16; i += 16) {
        __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        __m128i swapped = _mm_or_si128(_mm_slli_epi16(x, 8), _mm_srli_epi16(x, 8));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes + i), swapped);
    }
#endif
    for (; length - i >= 2; i += 2) {
        unsigned char first = bytes[i];
        bytes[i] = bytes[i + 1];
        bytes[i + 1] = first;
    }
}
