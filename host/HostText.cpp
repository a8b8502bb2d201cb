#include "HostText.h"
#include "HostContext.h"
#include "PathText.h"
#include <stdio.h>

std::string WideToUtf8(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    int units = static_cast<int>(wide.size());
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    std::string out(bytes > 0 ? bytes : 0, '\0');
    if (bytes > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, &out[0], bytes, nullptr, nullptr);
    return out;
}

std::string CodePage932ToUtf8(const std::string& text) {
    if (text.empty()) return text;
    int units = MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (units <= 0) return std::string();
    std::wstring wide(units, L'\0');
    MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), &wide[0], units);
    return WideToUtf8(wide);
}

std::string WideToCodePage932(const std::wstring& text) {
    if (text.empty()) return std::string();
    int bytes = WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(bytes > 0 ? bytes : 0, '\0');
    if (bytes > 0) WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), &out[0], bytes, nullptr, nullptr);
    return out;
}

bool ToCodePage932(const wchar_t* text, std::string* out) {
    out->clear();
    if (!*text) return true;
    BOOL substituted = FALSE;
    int bytes = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text, -1, nullptr, 0, nullptr, &substituted);
    if (bytes <= 0 || substituted) return false;
    out->assign(bytes, '\0');
    WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text, -1, &(*out)[0], bytes, nullptr, nullptr);
    out->resize(bytes - 1);
    return true;
}

bool PathToCodePage932(const wchar_t* path, std::string* out) {
    int bytes = WideCharToMultiByte(932, 0, path, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0 || bytes > HostBufferSize) return false;
    out->assign(bytes, '\0');
    WideCharToMultiByte(932, 0, path, -1, &(*out)[0], bytes, nullptr, nullptr);
    int units = MultiByteToWideChar(932, 0, out->c_str(), bytes, nullptr, 0);
    std::wstring back(units > 0 ? units : 0, L'\0');
    if (units <= 0 || MultiByteToWideChar(932, 0, out->c_str(), bytes, &back[0], units) != units) return false;
    if (lstrcmpW(back.c_str(), path) != 0) return false;
    out->resize(bytes - 1);
    return true;
}

void AppendUtf8(const wchar_t* units, size_t count, std::string& out) {
    size_t at = out.size();
    out.resize(at + count * 3);  // no unit needs more than 3 bytes, a pair 4
    unsigned char* o = reinterpret_cast<unsigned char*>(&out[0]) + at;
    for (size_t i = 0; i < count; ++i) {
        unsigned c = units[i];
        if (c < 0x80) {
            *o++ = static_cast<unsigned char>(c);
            continue;
        }
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
            *o++ = static_cast<unsigned char>(0xF0 | (c >> 18));
            *o++ = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
        } else {
            if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
            if (c < 0x800) {
                *o++ = static_cast<unsigned char>(0xC0 | (c >> 6));
                *o++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
                continue;
            }
            *o++ = static_cast<unsigned char>(0xE0 | (c >> 12));
        }
        *o++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
        *o++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    }
    out.resize(o - reinterpret_cast<unsigned char*>(&out[0]));
}

// Bytes below 0x80 are the same characters in both; the runs between them go
// through the system's converter, cut only between characters (the
// double-byte rule).
void AppendCodePage932AsUtf8(const unsigned char* bytes, size_t count, std::string& out, std::wstring& scratch) {
    size_t i = 0;
    while (i < count) {
        size_t start = i;
        while (i < count && bytes[i] < 0x80) ++i;
        out.append(reinterpret_cast<const char*>(bytes + start), i - start);
        start = i;
        while (i < count && bytes[i] >= 0x80) i += IsLeadByte(bytes[i]) && i + 1 < count ? 2 : 1;
        if (i == start) continue;
        int length = static_cast<int>(i - start);
        int units = MultiByteToWideChar(932, 0, reinterpret_cast<const char*>(bytes + start), length, nullptr, 0);
        if (units <= 0) continue;
        scratch.resize(units);
        MultiByteToWideChar(932, 0, reinterpret_cast<const char*>(bytes + start), length, &scratch[0], units);
        AppendUtf8(scratch.data(), units, out);
    }
}

std::string EscapeLine(const std::string& utf8) {
    std::string out;
    for (unsigned char c : utf8) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c < 0x20 || c == 0x7F) {
            char hex[8];
            snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else out += static_cast<char>(c);
    }
    return out;
}
