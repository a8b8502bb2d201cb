#include "History.h"
#include <string.h>

bool NextHistoryEntry(const char* data, size_t length, size_t* at, const char** start, size_t* entryLength) {
    while (data && *at < length) {
        const char* entry = data + *at;
        const void* nul = memchr(entry, '\0', length - *at);
        size_t size = nul ? static_cast<size_t>(static_cast<const char*>(nul) - entry) : length - *at;
        *at += nul ? size + 1 : size;
        if (size == 0 || size > HistoryEntryLimit) continue;
        if (static_cast<signed char>(entry[0]) < 'A') continue;
        *start = entry;
        *entryLength = size;
        return true;
    }
    return false;
}

size_t ComposeHistory(char* out, size_t room, const char* current, const char* const* entries, size_t count,
                      CaselessCompare caseless) {
    size_t used = 0;
    size_t currentLength = current ? strlen(current) : 0;
    if (currentLength > 0) {
        if (currentLength + 1 > room) return 0;
        memcpy(out, current, currentLength + 1);
        used = currentLength + 1;
    }
    for (size_t i = 0; i < count; ++i) {
        const char* entry = entries[i];
        size_t entryLength = entry ? strlen(entry) : 0;
        if (entryLength == 0) continue;
        if (entryLength == currentLength && caseless(entry, current) == 0) continue;
        if (entryLength + 1 > room - used) break;
        memcpy(out + used, entry, entryLength + 1);
        used += entryLength + 1;
    }
    return used;
}

int CompareHistoryEntries(const char* a, const char* b, CaselessCompare caseless) {
    int d = static_cast<int>(static_cast<unsigned char>(a[0]) & 0xDF) -
            static_cast<int>(static_cast<unsigned char>(b[0]) & 0xDF);
    return d != 0 ? d : caseless(a, b);
}
