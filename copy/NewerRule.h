// The update rule's time comparison and the size units of the large-file line.
// Free of <windows.h>: file times come as their high and low 32-bit halves.
#pragma once
#include <stdint.h>

// Tolerances of the time comparison, in 100-nanosecond units: just under one
// second with options bit 0x40, just under two seconds without it.
enum : uint32_t {
    ToleranceFine = 9999995,     // 0x98967B
    ToleranceCoarse = 19999990,  // 0x1312CF6
    FineTimeOption = 0x40,
    LargeFileUnits = 3,          // files of 2,555,904 bytes and up get a line
};

// What the rule looks at of one file: last-write time halves, low size word.
struct FileStamp {
    uint32_t timeHigh;
    uint32_t timeLow;
    uint32_t sizeLow;
};

// The tolerance that options selects.
uint32_t NewerTolerance(uint32_t options);

// True when source counts as newer than destination: a later high half always;
// at equal high halves a later low half, when the sizes differ or the low halves
// are at least tolerance apart. All comparisons unsigned.
bool IsSourceNewer(const FileStamp& source, const FileStamp& destination, uint32_t tolerance);

// Size in units of 125 blocks of 8,192 bytes (1,024,000 bytes), rounded to the
// nearest, in unsigned 32-bit arithmetic as the log shows it: 100 MiB -> 102.
uint32_t SizeInUnits(uint32_t sizeHigh, uint32_t sizeLow);
