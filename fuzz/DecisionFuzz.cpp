// The block-and-mask text decision against the plain byte-at-a-time rules, on
// the raw input and on the input mapped onto the bytes the rules care about
// (so that the scoring passes run often), and behind a byte-order mark. Any
// difference aborts.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include "EncodingScan.h"
#include "ReferenceDecision.h"

namespace {

void Check(const unsigned char* bytes, size_t length) {
    TextDecision fast = DecideEncoding(bytes, length);
    TextDecision plain = reference::Decide(bytes, length);
    if (!reference::SameDecision(plain, fast)) abort();
    if (!reference::SameCounts(reference::Scan(bytes, length), ScanStructure(bytes, length))) abort();
    if (!reference::SameScores(reference::Score(bytes, length), ScoreMultibyte(bytes, length))) abort();
}

const unsigned char interesting[32] = {
    0x41, 0x0A, 0x1B, '$', '(', 0x40, 0x7F, 0x80, 0x81, 0x82, 0x8E, 0x8F, 0x9F, 0xA0, 0xA1, 0xA4,
    0xBF, 0xC0, 0xC3, 0xDF, 0xE0, 0xE3, 0xEF, 0xF0, 0xFC, 0xFD, 0xFE, 0xB1, 0x88, 0xA9, 0x00, 0xFF,
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Check(data, size);
    // Copies of exactly size bytes, so that any look past the end is caught.
    unsigned char* mapped = static_cast<unsigned char*>(malloc(size ? size : 1));
    for (size_t i = 0; i < size; ++i) mapped[i] = interesting[data[i] % 30];  // no NUL, no 0xFF
    Check(mapped, size);
    for (size_t i = 0; i < size; ++i) mapped[i] = interesting[data[i] % 32];
    Check(mapped, size);
    // Behind a byte-order mark, where pairs are judged by UTF-16 units.
    if (size >= 2) {
        mapped[0] = data[0] & 1 ? 0xFE : 0xFF;
        mapped[1] = data[0] & 1 ? 0xFF : 0xFE;
        Check(mapped, size);
    }
    free(mapped);
    return 0;
}
