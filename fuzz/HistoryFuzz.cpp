// The history file's reader on any bytes: every entry it yields lies inside
// the data, holds no NUL, starts with a byte of at least 'A' and is at most
// 259 bytes long; a file composed from them reads back as the same entries.
// The data is copied into a block of exactly its size, so that a read past
// its end is caught by the address sanitizer.
#include "History.h"
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <vector>

namespace {

int Caseless(const char* a, const char* b) { return strcasecmp(a, b); }

void Check(bool condition) {
    if (!condition) abort();
}

void ReadAll(const char* data, size_t size) {
    size_t at = 0;
    const char* start = nullptr;
    size_t length = 0;
    std::vector<std::vector<char>> entries;
    while (NextHistoryEntry(data, size, &at, &start, &length)) {
        Check(start >= data && start + length <= data + size && at <= size);
        Check(length >= 1 && length <= HistoryEntryLimit);
        Check(memchr(start, '\0', length) == nullptr);
        Check(static_cast<signed char>(start[0]) >= 'A');
        if (entries.size() < HistoryListLimit) {
            entries.emplace_back(start, start + length);
            entries.back().push_back('\0');
        }
    }
    Check(at <= size);
    // Compose with no current destination, then read the image back.
    std::vector<const char*> pointers;
    for (const std::vector<char>& entry : entries) pointers.push_back(entry.data());
    std::vector<char> image(HistoryFileLimit);
    size_t composed = ComposeHistory(image.data(), image.size(), "", pointers.data(), pointers.size(), Caseless);
    Check(composed <= image.size());
    size_t back = 0;
    size_t index = 0;
    while (NextHistoryEntry(image.data(), composed, &back, &start, &length)) {
        Check(index < entries.size() && length + 1 == entries[index].size());
        Check(memcmp(start, entries[index].data(), length) == 0);
        ++index;
    }
    Check(index == entries.size());
    if (entries.size() >= 2) {
        int d1 = CompareHistoryEntries(pointers[0], pointers[1], Caseless);
        int d2 = CompareHistoryEntries(pointers[1], pointers[0], Caseless);
        Check((d1 < 0) == (d2 > 0) && (d1 == 0) == (d2 == 0));
    }
}

}  // namespace

// Once per run: a 10 MiB file of random bytes without any NUL.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const size_t size = 10u << 20;
    char* data = static_cast<char*>(malloc(size));
    uint32_t state = 0x9E3779B9u;
    for (size_t i = 0; i < size; ++i) {
        state = state * 1664525u + 1013904223u;
        char c = static_cast<char>(state >> 24);
        data[i] = c ? c : 'A';
    }
    ReadAll(data, size);
    free(data);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    char* data = static_cast<char*>(malloc(size ? size : 1));
    if (size) memcpy(data, bytes, size);
    ReadAll(data, size);
    free(data);
    return 0;
}
