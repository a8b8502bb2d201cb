#include "PathText.h"
#include <string.h>

char* CopyToEnd(char* destination, const char* source, const char* limit, CopyFit fit) {
    if (destination >= limit) return nullptr;
    size_t room = static_cast<size_t>(limit - destination);  // bytes incl. the NUL
    size_t length = strlen(source);
    if (length < room) {
        memcpy(destination, source, length + 1);
        return destination + length;
    }
    if (fit == CopyWhole) return nullptr;
    size_t kept = 0;
    while (kept < length) {
        size_t step = (IsLeadByte(static_cast<unsigned char>(source[kept])) && source[kept + 1]) ? 2 : 1;
        if (kept + step >= room) break;
        kept += step;
    }
    memcpy(destination, source, kept);
    destination[kept] = '\0';
    return destination + kept;
}

const char* FindNamePart(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; ++p) {
        if (IsLeadByte(static_cast<unsigned char>(*p))) {
            if (!p[1]) break;
            ++p;
        } else if (*p == '\\') {
            name = p + 1;
        }
    }
    return name;
}

unsigned CountSeparators(const char* text) {
    unsigned count = 0;
    for (const char* p = text; *p; ++p) {
        if (IsLeadByte(static_cast<unsigned char>(*p))) {
            if (!p[1]) break;
            ++p;
        } else if (*p == '\\') {
            ++count;
        }
    }
    return count;
}

char* CutLastComponent(char* path) {
    char* name = const_cast<char*>(FindNamePart(path));
    char* end = name > path ? name - 1 : path;
    *end = '\0';
    return end;
}

namespace {
unsigned char FoldAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c; }
}  // namespace

bool SameTextIgnoringCase(const char* a, const char* b) {
    for (;;) {
        unsigned char x = static_cast<unsigned char>(*a), y = static_cast<unsigned char>(*b);
        if (IsLeadByte(x)) {
            if (x != y || a[1] != b[1]) return false;
            if (a[1] == '\0') return true;
            a += 2;
            b += 2;
            continue;
        }
        if (FoldAscii(x) != FoldAscii(y)) return false;
        if (x == 0) return true;
        ++a;
        ++b;
    }
}
