// The update rule's time comparison and the size units of the large-file line.
#include <gtest/gtest.h>
#include "NewerRule.h"

namespace {

struct RuleRow {
    const char* what;
    FileStamp source;
    FileStamp destination;
    bool newerFine;    // options with bit 0x40
    bool newerCoarse;  // options without it
};

const uint32_t H = 0x01D9A000;  // a plausible high half of a current file time
const uint32_t L = 0x80000000;

const RuleRow ruleTable[] = {
    {"older high half, bigger and later low", {H - 1, 0xFFFFFFFF, 9}, {H, 0, 1}, false, false},
    {"newer high half by one unit of time", {H + 1, 0, 5}, {H, 0xFFFFFFFF, 5}, true, true},
    {"newer high half, fraction of a second, equal size", {H + 1, 100, 3}, {H, 0xFFFFFF00, 3}, true, true},
    {"equal times, equal size", {H, L, 7}, {H, L, 7}, false, false},
    {"equal times, different size", {H, L, 7}, {H, L, 8}, false, false},
    {"older low half, different size", {H, L - 1, 7}, {H, L, 8}, false, false},
    {"newer by one unit, different size", {H, L + 1, 7}, {H, L, 8}, true, true},
    {"newer by one unit, equal size", {H, L + 1, 7}, {H, L, 7}, false, false},
    {"newer by 0.5 s, equal size", {H, L + 5000000, 7}, {H, L, 7}, false, false},
    {"newer by fine tolerance minus one", {H, L + 9999994, 7}, {H, L, 7}, false, false},
    {"newer by exactly the fine tolerance", {H, L + 9999995, 7}, {H, L, 7}, true, false},
    {"newer by 1.5 s, equal size", {H, L + 15000000, 7}, {H, L, 7}, true, false},
    {"newer by coarse tolerance minus one", {H, L + 19999989, 7}, {H, L, 7}, true, false},
    {"newer by exactly the coarse tolerance", {H, L + 19999990, 7}, {H, L, 7}, true, true},
    {"newer by 3 s, equal size", {H, L + 30000000, 7}, {H, L, 7}, true, true},
    {"full low range, equal size", {H, 0xFFFFFFFF, 0}, {H, 0, 0}, true, true},
};

TEST(NewerRule, EveryRowOfTheComparisonWithBothTolerances) {
    for (const RuleRow& row : ruleTable) {
        EXPECT_EQ(row.newerFine, IsSourceNewer(row.source, row.destination, ToleranceFine)) << row.what;
        EXPECT_EQ(row.newerCoarse, IsSourceNewer(row.source, row.destination, ToleranceCoarse)) << row.what;
        EXPECT_EQ(row.newerFine, IsSourceNewer(row.source, row.destination, NewerTolerance(0x40))) << row.what;
        EXPECT_EQ(row.newerCoarse, IsSourceNewer(row.source, row.destination, NewerTolerance(0))) << row.what;
    }
}

TEST(NewerRule, ToleranceFollowsOnlyBit40OfOptions) {
    const struct { uint32_t options; uint32_t tolerance; } table[] = {
        {0, 19999990}, {0x40, 9999995}, {0xFFFFFFBF, 19999990}, {0xFFFFFFFF, 9999995}, {0x20 | 0x100, 19999990},
    };
    for (auto& row : table) EXPECT_EQ(row.tolerance, NewerTolerance(row.options)) << std::hex << row.options;
}

TEST(NewerRule, ASourceIsNeverNewerThanItself) {
    const FileStamp stamps[] = {{0, 0, 0}, {H, L, 7}, {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}};
    for (const FileStamp& stamp : stamps) {
        EXPECT_FALSE(IsSourceNewer(stamp, stamp, ToleranceFine));
        EXPECT_FALSE(IsSourceNewer(stamp, stamp, 0));
    }
}

TEST(SizeUnits, ThresholdAndLargeSizes) {
    const struct { uint32_t high; uint32_t low; uint32_t units; } table[] = {
        {0, 0, 0},
        {0, 2555903, 2},          // one byte short of a line
        {0, 2555904, 3},          // the first size that gets one
        {0, 1024000, 1},
        {0, 104857600, 102},      // 100 MiB
        {1, 0, 4194},             // 4 GiB
        {0, 0xFFFFFFFF, 4194},    // 4 GiB less one byte
        {2, 0x80000000, 10486},   // 10 GiB
        {0x2000, 0, 0},           // 32-bit arithmetic wraps, as the log always did
    };
    for (auto& row : table)
        EXPECT_EQ(row.units, SizeInUnits(row.high, row.low)) << row.high << ":" << row.low;
    EXPECT_LT(SizeInUnits(0, 2555903), static_cast<uint32_t>(LargeFileUnits));
    EXPECT_GE(SizeInUnits(0, 2555904), static_cast<uint32_t>(LargeFileUnits));
}

}  // namespace
