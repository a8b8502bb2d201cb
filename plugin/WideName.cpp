#include "WideName.h"
#include "NameFit.h"
#include "PathText.h"
#include <string.h>

bool ToAnsiName(const WCHAR* name, char* bytes, int room) {
    if (room <= 0) return false;
    // A name of up to MAX_PATH units takes at most two bytes a unit.
    char converted[2 * WidePathRoom + 1];
    BOOL defaultUsed = FALSE;
    int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name, -1, converted, sizeof converted, "?",
                                     &defaultUsed);
    if (length <= 0) {
        bytes[0] = '\0';
        return false;
    }
    WCHAR readBack[WidePathRoom + 1];
    bool readable = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, converted, -1, readBack, WidePathRoom + 1) > 0;
    bool exact = readable && IsExactTrip(defaultUsed != FALSE, name, readBack);
    char* end = CopyToEnd(bytes, converted, bytes + room, CopyCut);
    return exact && end == bytes + (length - 1);
}

bool HoldsExactly(const WCHAR* wide, char* narrow, int size) {
    if (!wide || !narrow || size <= 0) return false;
    if (ToAnsiName(wide, narrow, size)) return true;
    narrow[0] = '\0';
    return false;
}

void TakeEntryFields(const WIN32_FIND_DATAW& found, WIN32_FIND_DATAA* entry) {
    entry->dwFileAttributes = found.dwFileAttributes;
    entry->ftCreationTime = found.ftCreationTime;
    entry->ftLastAccessTime = found.ftLastAccessTime;
    entry->ftLastWriteTime = found.ftLastWriteTime;
    entry->nFileSizeHigh = found.nFileSizeHigh;
    entry->nFileSizeLow = found.nFileSizeLow;
    entry->dwReserved0 = found.dwReserved0;
    entry->dwReserved1 = found.dwReserved1;
}

bool TakeFoundEntry(const WIN32_FIND_DATAW& found, WIN32_FIND_DATAA* entry) {
    TakeEntryFields(found, entry);
    ToAnsiName(found.cAlternateFileName, entry->cAlternateFileName, sizeof entry->cAlternateFileName);
    return ToAnsiName(found.cFileName, entry->cFileName, sizeof entry->cFileName);
}

WCHAR* CopyWideToEnd(WCHAR* destination, const WCHAR* source, const WCHAR* limit) {
    if (!destination || destination >= limit) return nullptr;
    size_t length = lstrlenW(source);
    if (length >= static_cast<size_t>(limit - destination)) return nullptr;
    memcpy(destination, source, (length + 1) * sizeof(WCHAR));
    return destination + length;
}

WCHAR* WidenToEnd(WCHAR* destination, const char* bytes, const WCHAR* limit) {
    if (!destination || destination >= limit) return nullptr;
    int units = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes, -1, destination,
                                    static_cast<int>(limit - destination));
    return units > 0 ? destination + units - 1 : nullptr;
}
