#include "NameFit.h"
#include "PathText.h"

bool SameUnits(const wchar_t* first, const wchar_t* second) {
    while (*first && *first == *second) {
        ++first;
        ++second;
    }
    return *first == *second;
}

bool HasWildcard(const wchar_t* text) {
    for (; *text; ++text)
        if (*text == L'?' || *text == L'*') return true;
    return false;
}

bool HasWildcardByte(const char* text) {
    for (const char* p = text; *p; ++p) {
        if (IsLeadByte(static_cast<unsigned char>(*p))) {
            if (!p[1]) break;
            ++p;
        } else if (*p == '?' || *p == '*') {
            return true;
        }
    }
    return false;
}
