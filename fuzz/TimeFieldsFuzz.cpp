// The parse of the seven time fields against a plain restatement of its rules:
// an input whose first byte is odd gives values near every range's edges
// (written with or without leading zeros); any other input splits into raw
// field texts (a NUL byte ends a field). The parse must
// accept exactly what the restatement accepts, refuse at the first field the
// restatement refuses, and keep every accepted date a real one.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include "TimeFields.h"

namespace {

// Days from 1970-01-01 to a date, and back (proleptic Gregorian); a date is
// real when the round trip gives it back.
long DaysFromCivil(long y, unsigned m, unsigned d) {
    y -= m <= 2;
    long era = (y >= 0 ? y : y - 399) / 400;
    unsigned yoe = static_cast<unsigned>(y - era * 400);
    unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}
bool RoundTrips(long y, unsigned m, unsigned d) {
    long z = DaysFromCivil(y, m, d) + 719468;
    long era = (z >= 0 ? z : z - 146096) / 146097;
    unsigned doe = static_cast<unsigned>(z - era * 146097);
    unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    unsigned mp = (5 * doy + 2) / 153;
    unsigned dd = doy - (153 * mp + 2) / 5 + 1;
    unsigned mm = mp < 10 ? mp + 3 : mp - 9;
    long yy = static_cast<long>(yoe) + era * 400 + (mm <= 2);
    return yy == y && mm == m && dd == d;
}

// The restatement: -1 accepted, else the first refused member.
int Restated(const std::string texts[MemberCount], unsigned long values[MemberCount]) {
    static const unsigned long low[] = {1980, 1, 0, 1, 0, 0, 0, 0};
    static const unsigned long high[] = {2106, 12, 0, 31, 23, 59, 59, 999};
    for (int i = 0; i < MemberCount; ++i) {
        const std::string& t = i == MemberWeekday ? std::string() : texts[i];
        if (t.size() > 7 || t.find_first_not_of("0123456789") != std::string::npos) return i;
        values[i] = strtoul(t.c_str(), nullptr, 10);
        if (i == MemberYear && values[i] == 0) return -1;
        if (values[i] < low[i] || values[i] > high[i]) return i;
    }
    if (values[MemberMonth] < 1 || values[MemberDay] < 1) return MemberDay;
    return RoundTrips(static_cast<long>(values[0]), values[1], values[3]) ? -1 : MemberDay;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string texts[MemberCount];
    const char* pointers[MemberCount];
    if (size >= 1 + MemberCount && (data[0] & 1)) {
        static const unsigned edges[MemberCount][16] = {
            {0, 1979, 1980, 1981, 1996, 1999, 2000, 2001, 2023, 2024, 2100, 2104, 2105, 2106, 2107, 9999},
            {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 2, 2},
            {0},
            {0, 1, 15, 27, 28, 29, 30, 31, 32, 29, 29, 30, 31, 99, 28, 29},
            {0, 1, 12, 22, 23, 24, 25, 99, 0, 1, 12, 22, 23, 24, 25, 99},
            {0, 1, 30, 58, 59, 60, 61, 99, 0, 1, 30, 58, 59, 60, 61, 99},
            {0, 1, 30, 58, 59, 60, 61, 99, 0, 1, 30, 58, 59, 60, 61, 99},
            {0, 1, 500, 998, 999, 1000, 1001, 9999, 0, 1, 500, 998, 999, 1000, 1001, 9999},
        };
        for (int i = 0; i < MemberCount; ++i) {
            unsigned value = edges[i][data[1 + i] % 16];
            if (i == MemberYear && (data[0] & 2)) value = 0;
            texts[i] = std::to_string(value);
            if (data[0] & (4 << (i % 5))) texts[i] = "0" + texts[i];
        }
    } else {
        size_t at = 0;
        for (int i = 0; i < MemberCount; ++i) {
            while (at < size && data[at] != 0) texts[i] += static_cast<char>(data[at++]);
            ++at;
        }
    }
    for (int i = 0; i < MemberCount; ++i) pointers[i] = texts[i].c_str();
    unsigned short members[MemberCount] = {0xAAAA, 0xAAAA, 0xAAAA, 0xAAAA, 0xAAAA, 0xAAAA, 0xAAAA, 0xAAAA};
    unsigned long values[MemberCount] = {};
    int refused = ParseTimeTexts(pointers, members);
    int expected = Restated(texts, values);
    if (refused != expected) abort();
    if (refused >= 0) return 0;
    if (members[MemberYear] == 0) {
        for (int i = 1; i < MemberCount; ++i)
            if (members[i] != 0xAAAA) abort();  // a zero year ends the parse
        return 0;
    }
    for (int i = 0; i < MemberCount; ++i)
        if (members[i] != values[i]) abort();
    return 0;
}
