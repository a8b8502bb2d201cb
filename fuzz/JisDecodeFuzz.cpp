// The own ISO-2022-JP and EUC-JP decoder on arbitrary input: the output
// buffer is exactly as long as the input, so any write past it is caught, and
// decoded EUC-JP must encode back to the very input.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include "JisDecode.h"

namespace {

// Shift-JIS bytes back to EUC-JP; returns the length written to out.
size_t ShiftJisToEuc(const unsigned char* s, size_t length, unsigned char* out) {
    size_t o = 0;
    for (size_t i = 0; i < length;) {
        unsigned b = s[i];
        if (b < 0x80) {
            out[o++] = static_cast<unsigned char>(b);
            ++i;
        } else if (b >= 0xA1 && b <= 0xDF) {
            out[o++] = 0x8E;
            out[o++] = static_cast<unsigned char>(b);
            ++i;
        } else {
            if (i + 1 >= length) abort();
            unsigned t = s[i + 1];
            unsigned row = (b <= 0x9F ? b - 0x70 : b - 0xB0) * 2;
            unsigned cell;
            if (t >= 0x9F) {
                cell = t - 0x7E;
            } else {
                row -= 1;
                cell = t - (t >= 0x80 ? 0x20 : 0x1F);
            }
            out[o++] = static_cast<unsigned char>(row + 0x80);
            out[o++] = static_cast<unsigned char>(cell + 0x80);
            i += 2;
        }
    }
    return o;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    JisSource source = data[0] & 1 ? JisFromEuc : JisFromIso2022;
    const unsigned char* text = data + 1;
    size_t length = size - 1;
    unsigned char* out = static_cast<unsigned char*>(malloc(length ? length : 1));
    size_t written = 0;
    bool ok = DecodeToShiftJis(source, text, length, out, &written);
    if (ok && written > length) abort();
    if (ok && source == JisFromEuc) {
        unsigned char* back = static_cast<unsigned char*>(malloc(2 * written + 1));
        size_t backLength = ShiftJisToEuc(out, written, back);
        if (backLength != length || memcmp(back, text, length) != 0) abort();
        free(back);
    }
    if (!ok && source == JisFromEuc && length > 0) {
        // A refused EUC-JP text holds a byte of 0x80 or above.
        bool high = false;
        for (size_t i = 0; i < length; ++i) high = high || text[i] >= 0x80;
        if (!high) abort();
    }
    free(out);
    return 0;
}
