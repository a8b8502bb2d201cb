#include "ExactName.h"
#include "PathText.h"

namespace {

enum { CodePage932 = 932 };

// Reads narrow back character by character and compares each with the next
// UTF-16 unit of wide, ordinally.
bool ReadsBackAs(const char* narrow, const WCHAR* wide) {
    const char* p = narrow;
    const WCHAR* w = wide;
    while (*p) {
        int step = IsLeadByte(static_cast<unsigned char>(*p)) && p[1] ? 2 : 1;
        WCHAR back[2] = {0, 0};
        if (MultiByteToWideChar(CodePage932, MB_ERR_INVALID_CHARS, p, step, back, 2) != 1) return false;
        if (back[0] != *w) return false;
        p += step;
        ++w;
    }
    return *w == 0;
}

}  // namespace

bool HoldsExactly(const WCHAR* wide, char* narrow, int size) {
    if (!wide || !narrow || size <= 0) return false;
    BOOL defaultUsed = FALSE;
    int bytes = WideCharToMultiByte(CodePage932, WC_NO_BEST_FIT_CHARS, wide, -1, narrow, size, nullptr, &defaultUsed);
    if (bytes > 0 && !defaultUsed && ReadsBackAs(narrow, wide)) return true;
    narrow[0] = '\0';
    return false;
}
