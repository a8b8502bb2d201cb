#include "TimeFields.h"

int TimeFieldLimit(int member) {
    if (member == MemberYear) return 4;
    if (member == MemberMillisecond) return 3;
    return 2;
}

bool ReadFieldNumber(const char* text, unsigned* value) {
    unsigned number = 0;
    int digits = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9' || ++digits > 7) return false;
        number = number * 10 + static_cast<unsigned>(*p - '0');
    }
    *value = number;
    return true;
}

bool IsMemberInRange(int member, unsigned value) {
    switch (member) {
    case MemberYear: return value == 0 || (value >= 1980 && value <= 2106);
    case MemberMonth: return value >= 1 && value <= 12;
    case MemberWeekday: return value == 0;
    case MemberDay: return value >= 1 && value <= 31;
    case MemberHour: return value <= 23;
    case MemberMinute:
    case MemberSecond: return value <= 59;
    case MemberMillisecond: return value <= 999;
    }
    return false;
}

bool IsRealDate(unsigned year, unsigned month, unsigned day) {
    static const unsigned char lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1) return false;
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    unsigned length = lengths[month - 1] + (month == 2 && leap ? 1u : 0u);
    return day <= length;
}

int ParseTimeTexts(const char* const texts[MemberCount], unsigned short members[MemberCount]) {
    for (int i = 0; i < MemberCount; ++i) {
        unsigned value = 0;
        if (i != MemberWeekday && !ReadFieldNumber(texts[i], &value)) return i;
        if (!IsMemberInRange(i, value)) return i;
        members[i] = static_cast<unsigned short>(value);
        if (i == MemberYear && value == 0) return -1;
    }
    if (!IsRealDate(members[MemberYear], members[MemberMonth], members[MemberDay])) return MemberDay;
    return -1;
}
