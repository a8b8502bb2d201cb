// Byte strings in test tables: "41 42 00" parsed into bytes, and bytes shown as
// hex pairs in failure messages. Free of <windows.h>.
#pragma once
#include <stdio.h>
#include <stdlib.h>
#include <string>

// "41 42 00" -> {0x41, 0x42, 0x00}, into any container of char-sized elements.
template <class Out>
Out ParseHex(const char* text) {
    Out out;
    for (const char* p = text; *p;) {
        if (*p == ' ') {
            ++p;
            continue;
        }
        char pair[3] = {p[0], p[1], 0};
        out.push_back(static_cast<typename Out::value_type>(strtoul(pair, nullptr, 16)));
        p += 2;
    }
    return out;
}

// {0x41, 0x42} -> "41 42 "
template <class Span>
std::string ShowHex(const Span& bytes) {
    std::string out;
    char piece[4];
    for (auto b : bytes) {
        snprintf(piece, sizeof piece, "%02X ", static_cast<unsigned char>(b));
        out += piece;
    }
    return out;
}
