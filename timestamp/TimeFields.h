// The seven time fields of the date-and-time dialog as plain values: reading a
// field's text, the range of each member, the calendar check and the parse of
// all fields at OK. Free of <windows.h>; the dialog (TimeDialog.cpp) moves the
// texts in and out of its controls.
#pragma once
#include <stddef.h>

// Members of the time record in the order of the system's SYSTEMTIME; field
// control ids are 1010 plus this index, and index 2 (day of the week) has no
// field.
enum TimeMember {
    MemberYear = 0,
    MemberMonth = 1,
    MemberWeekday = 2,
    MemberDay = 3,
    MemberHour = 4,
    MemberMinute = 5,
    MemberSecond = 6,
    MemberMillisecond = 7,
    MemberCount = 8
};

// Longest text a field takes (its edit limit): 4 for the year, 3 for the
// milliseconds, 2 for the others.
int TimeFieldLimit(int member);

// Reads a field's text as a decimal number into *value. An empty text is 0.
// Returns false for a text with anything but the digits 0-9, or with more
// than 7 digits (a field reads at most 7 characters).
bool ReadFieldNumber(const char* text, unsigned* value);

// True when value is accepted for member: year 0 or 1980-2106, month 1-12,
// day 1-31, hour 0-23, minute and second 0-59, millisecond 0-999; the day of
// the week only as 0.
bool IsMemberInRange(int member, unsigned value);

// True when day exists in that month of that year (Gregorian leap years).
bool IsRealDate(unsigned year, unsigned month, unsigned day);

// The parse at OK. texts[i] is the text of member i's field (texts[2] is not
// read). Fills members[0..7] in order; a year of 0 ends the parse at once
// (the other members are left as they were). Returns -1 when accepted, else
// the index of the first refused member: a field that is not a number or is
// out of range, or the day when the date does not exist.
int ParseTimeTexts(const char* const texts[MemberCount], unsigned short members[MemberCount]);
