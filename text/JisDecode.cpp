#include "JisDecode.h"

namespace {

const unsigned char Escape = 0x1B, ShiftOut = 0x0E, ShiftIn = 0x0F;

enum JisMode { ModeAscii, ModeKanji, ModeKana };

inline unsigned ByteAt(const unsigned char* bytes, size_t length, size_t offset) {
    return offset < length ? bytes[offset] : 0u;
}

// Reads the designation behind the ESC at bytes[at]. Returns its length
// (including the ESC) and the mode it selects, 0 when it is no designation
// ("$" or "(" not behind the ESC), or -1 when it is one this decoder cannot map.
int ReadDesignation(const unsigned char* bytes, size_t length, size_t at, JisMode& mode) {
    unsigned b1 = ByteAt(bytes, length, at + 1), b2 = ByteAt(bytes, length, at + 2);
    if (b1 == '(') {
        if (b2 == 'B' || b2 == 'J') { mode = ModeAscii; return 3; }
        if (b2 == 'I') { mode = ModeKana; return 3; }
        return -1;
    }
    if (b1 == '$') {
        if (b2 == '@' || b2 == 'B') { mode = ModeKanji; return 3; }
        if (b2 == '(' && ByteAt(bytes, length, at + 3) == 'B') { mode = ModeKanji; return 4; }
        return -1;
    }
    if (b1 == '&' && b2 == '@') {
        // Revision announcement; a JIS X 0208 designation must follow it.
        if (ByteAt(bytes, length, at + 3) != Escape || ByteAt(bytes, length, at + 4) != '$') return -1;
        unsigned final1 = ByteAt(bytes, length, at + 5);
        mode = ModeKanji;
        if (final1 == '@' || final1 == 'B') return 6;
        if (final1 == '(' && ByteAt(bytes, length, at + 6) == 'B') return 7;
        return -1;
    }
    return 0;
}

bool DecodeIso2022(const unsigned char* bytes, size_t length, unsigned char* out, size_t* written) {
    JisMode mode = ModeAscii;
    bool shifted = false;  // between SO and SI
    size_t o = 0;
    for (size_t i = 0; i < length;) {
        unsigned b = bytes[i];
        if (b == Escape) {
            int used = ReadDesignation(bytes, length, i, mode);
            if (used < 0) return false;
            if (used > 0) {
                i += static_cast<size_t>(used);
                continue;
            }
            out[o++] = static_cast<unsigned char>(b);
            ++i;
        } else if (b == ShiftOut || b == ShiftIn) {
            shifted = b == ShiftOut;
            ++i;
        } else if (b < 0x21 || b == 0x7F) {
            out[o++] = static_cast<unsigned char>(b);
            ++i;
        } else if (b >= 0xA1 && b <= 0xDF) {
            out[o++] = static_cast<unsigned char>(b);
            ++i;
        } else if (b >= 0x80) {
            return false;
        } else if (shifted || mode == ModeKana) {
            if (b > 0x5F) return false;
            out[o++] = static_cast<unsigned char>(b + 0x80);
            ++i;
        } else if (mode == ModeKanji) {
            if (!JisToShiftJis(b, ByteAt(bytes, length, i + 1), out + o)) return false;
            o += 2;
            i += 2;
        } else {
            out[o++] = static_cast<unsigned char>(b);
            ++i;
        }
    }
    *written = o;
    return true;
}

bool DecodeEuc(const unsigned char* bytes, size_t length, unsigned char* out, size_t* written) {
    size_t o = 0;
    for (size_t i = 0; i < length;) {
        unsigned b = bytes[i];
        unsigned next = ByteAt(bytes, length, i + 1);
        if (b < 0x80) {
            out[o++] = static_cast<unsigned char>(b);
            ++i;
        } else if (b == 0x8E && next >= 0xA1 && next <= 0xDF) {
            out[o++] = static_cast<unsigned char>(next);
            i += 2;
        } else if (b >= 0xA1 && b <= 0xFE && next >= 0xA1 && next <= 0xFE) {
            if (!JisToShiftJis(b - 0x80, next - 0x80, out + o)) return false;
            o += 2;
            i += 2;
        } else {
            return false;
        }
    }
    *written = o;
    return true;
}

}  // namespace

bool JisToShiftJis(unsigned first, unsigned second, unsigned char out[2]) {
    if (first < 0x21 || first > 0x7E || second < 0x21 || second > 0x7E) return false;
    unsigned lead = ((first + 1) >> 1) + (first <= 0x5E ? 0x70 : 0xB0);
    unsigned trail;
    if (first & 1)
        trail = second + (second < 0x60 ? 0x1F : 0x20);
    else
        trail = second + 0x7E;
    out[0] = static_cast<unsigned char>(lead);
    out[1] = static_cast<unsigned char>(trail);
    return true;
}

bool DecodeToShiftJis(JisSource source, const unsigned char* bytes, size_t length, unsigned char* out,
                      size_t* written) {
    *written = 0;
    return source == JisFromEuc ? DecodeEuc(bytes, length, out, written)
                                : DecodeIso2022(bytes, length, out, written);
}
