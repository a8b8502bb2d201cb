#include "NewerRule.h"

uint32_t NewerTolerance(uint32_t options) {
    return (options & FineTimeOption) ? ToleranceFine : ToleranceCoarse;
}

bool IsSourceNewer(const FileStamp& source, const FileStamp& destination, uint32_t tolerance) {
    if (source.timeHigh != destination.timeHigh) return source.timeHigh > destination.timeHigh;
    if (source.timeLow <= destination.timeLow) return false;
    if (source.sizeLow != destination.sizeLow) return true;
    return source.timeLow - destination.timeLow >= tolerance;
}

uint32_t SizeInUnits(uint32_t sizeHigh, uint32_t sizeLow) {
    uint32_t blocks = (sizeHigh << 19) + (sizeLow >> 13);
    return (blocks + 63) / 125;
}
