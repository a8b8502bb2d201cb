// The text decision written out plainly, one byte at a time, exactly as the
// rules read: the yardstick for the block-and-mask version in text/. Used by
// the fuzz targets and by the encoding tests.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include "EncodingScan.h"

namespace reference {

inline unsigned At(const unsigned char* bytes, size_t length, size_t offset) {
    return offset < length ? bytes[offset] : 0u;
}

inline bool InRange(unsigned b, unsigned low, unsigned high) { return b >= low && b <= high; }

inline ScanCounts Scan(const unsigned char* d, size_t n) {
    ScanCounts c = ScanCounts();
    if (At(d, n, 0) == 0xFF && At(d, n, 1) == 0xFE) c.oddNuls = n;
    if (At(d, n, 0) == 0xFE && At(d, n, 1) == 0xFF) c.evenNuls = n;
    // With a byte-order mark, a pair is judged only where a UTF-16 unit starts.
    bool marked = c.oddNuls != 0 || c.evenNuls != 0;
    for (size_t i = 0; i < n; ++i) {
        unsigned b = d[i];
        bool unitStart = !marked || i % 2 == 0;
        if (b == 0) {
            if (i % 2 == 1) c.oddNuls++; else c.evenNuls++;
            if (unitStart && At(d, n, i + 1) == 0) {
                unsigned following = At(d, n, i + 2);
                unsigned preceding = i > 0 ? d[i - 1] : 0;
                bool inside = i + 3 <= n;
                // Marked: the unit U+0000 would end the text early, so it
                // is binary wherever it stands but as the data's last unit.
                if (inside && (marked || following == 0 || (following >= 0x80 && preceding >= 0x80))) {
                    c.binary = true;
                    return c;
                }
            }
        }
        if (b >= 0x80) {
            c.highBytes++;
            if (b == 0xFF) {
                if (unitStart && At(d, n, i + 1) == 0xFF) {
                    c.binary = true;
                    return c;
                }
                c.ffBytes++;
            }
        }
        if (b == 0x1B && (At(d, n, i + 1) == '$' || At(d, n, i + 1) == '(')) c.escapes++;
    }
    return c;
}

inline TextScores Score(const unsigned char* d, size_t n) {
    TextScores s = TextScores();
    for (size_t i = 0; i < n;) {
        if ((InRange(At(d, n, i), 0x81, 0x9F) || InRange(At(d, n, i), 0xE0, 0xFC)) &&
            InRange(At(d, n, i + 1), 0x40, 0xFC)) {
            s.shiftJis += 2;
            i += 2;
        } else {
            i += 1;
        }
    }
    for (size_t i = 0; i < n;) {
        if (InRange(At(d, n, i), 0xA1, 0xFE) && InRange(At(d, n, i + 1), 0xA1, 0xFE)) {
            s.eucJp += 2;
            i += 2;
        } else if (At(d, n, i) == 0x8E && InRange(At(d, n, i + 1), 0xA1, 0xDF)) {
            s.eucJp += 2;
            i += 2;
        } else if (At(d, n, i) == 0x8F && InRange(At(d, n, i + 1), 0xA1, 0xFE) &&
                   InRange(At(d, n, i + 2), 0xA1, 0xFE)) {
            s.eucJp += 3;
            i += 3;
        } else {
            i += 1;
        }
    }
    for (size_t i = 0; i < n;) {
        if (InRange(At(d, n, i), 0xC0, 0xDF) && InRange(At(d, n, i + 1), 0x80, 0xBF)) {
            s.utf8 += 2;
            i += 2;
        } else if (InRange(At(d, n, i), 0xE0, 0xEF) && InRange(At(d, n, i + 1), 0x80, 0xBF) &&
                   InRange(At(d, n, i + 2), 0x80, 0xBF)) {
            s.utf8 += 3;
            i += 3;
        } else {
            i += 1;
        }
    }
    s.utf8Weighted = s.utf8 + s.utf8 / 4;
    return s;
}

inline TextDecision Decide(const unsigned char* d, size_t n) {
    TextDecision r = TextDecision();
    r.verdict = VerdictAsRead;
    r.codePage = CodePageNone;
    r.counts = Scan(d, n);
    bool markLe = At(d, n, 0) == 0xFF && At(d, n, 1) == 0xFE;
    bool markBe = At(d, n, 0) == 0xFE && At(d, n, 1) == 0xFF;
    if (r.counts.binary) {
        r.verdict = VerdictNotText;
        return r;
    }
    if (r.counts.oddNuls != 0 || r.counts.evenNuls != 0) {
        if (n % 2 == 1) {
            r.verdict = VerdictNotText;
            return r;
        }
        r.verdict = VerdictUtf16;
        r.byteOrderMark = markLe || markBe;
        r.bigEndian = r.counts.evenNuls > r.counts.oddNuls;
        return r;
    }
    if (r.counts.ffBytes != 0) {
        r.verdict = VerdictNotText;
        return r;
    }
    if (r.counts.escapes >= 2) {
        r.verdict = VerdictConvert;
        r.codePage = CodePageJis;
        return r;
    }
    if (r.counts.highBytes == 0) return r;
    r.scored = true;
    r.scores = Score(d, n);
    const TextScores& s = r.scores;
    if (s.eucJp > s.shiftJis && s.eucJp > s.utf8Weighted) {
        r.verdict = VerdictConvert;
        r.codePage = CodePageEuc;
    } else if (s.utf8Weighted > s.eucJp && s.utf8Weighted > s.shiftJis) {
        r.verdict = VerdictConvert;
        r.codePage = CodePageUtf8;
        if (At(d, n, 0) == 0xEF && At(d, n, 1) == 0xBB && At(d, n, 2) == 0xBF) r.sourceOffset = 3;
    }
    return r;
}

// Field-by-field comparison (the structs may carry padding).
inline bool SameCounts(const ScanCounts& a, const ScanCounts& b) {
    return a.oddNuls == b.oddNuls && a.evenNuls == b.evenNuls && a.ffBytes == b.ffBytes &&
           a.highBytes == b.highBytes && a.escapes == b.escapes && a.binary == b.binary;
}

inline bool SameScores(const TextScores& a, const TextScores& b) {
    return a.shiftJis == b.shiftJis && a.eucJp == b.eucJp && a.utf8 == b.utf8 &&
           a.utf8Weighted == b.utf8Weighted;
}

inline bool SameDecision(const TextDecision& a, const TextDecision& b) {
    return a.verdict == b.verdict && a.codePage == b.codePage && a.sourceOffset == b.sourceOffset &&
           a.byteOrderMark == b.byteOrderMark && a.bigEndian == b.bigEndian && a.scored == b.scored &&
           SameCounts(a.counts, b.counts) && (!a.scored || SameScores(a.scores, b.scores));
}

}  // namespace reference
