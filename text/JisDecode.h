// The library's own decoder for ISO-2022-JP and EUC-JP, used where the system
// has no converter for them: both become Shift-JIS (code page 932) bytes by
// the JIS row-and-cell arithmetic. Free of <windows.h>.
#pragma once
#include <stddef.h>

enum JisSource {
    JisFromIso2022,  // ISO-2022-JP with JIS X 0201 katakana (code page 50221)
    JisFromEuc,      // EUC-JP (code page 51932)
};

// Shift-JIS bytes of the JIS X 0208 character at row-and-cell bytes
// first, second (each 0x21-0x7E); false for any other pair.
bool JisToShiftJis(unsigned first, unsigned second, unsigned char out[2]);

// Decodes source[0, length) into out, which the caller owns and sizes to at
// least length bytes (the output is never longer than the input); nothing is
// written past out + length and no terminator is added. Returns true and the
// byte count in written, or false at the first sequence that has no Shift-JIS
// form (JIS X 0212 characters, unknown designations, broken or cut sequences,
// bytes outside the encoding); out then holds a partial result.
//
// ISO-2022-JP: ESC ( B and ESC ( J select ASCII, ESC ( I half-width katakana,
// ESC $ @, ESC $ B and ESC $ ( B the JIS X 0208 set (ESC & @ in front of them is
// allowed); SO and SI shift katakana in and out. Control bytes below 0x21 pass
// in every mode; an ESC not followed by "$" or "(" passes as it is. Bytes
// 0xA1-0xDF pass as 8-bit katakana.
// EUC-JP: bytes below 0x80 pass; 0xA1-0xFE pairs are JIS X 0208; 0x8E with
// 0xA1-0xDF is a katakana byte; 0x8F (JIS X 0212) has no Shift-JIS form.
bool DecodeToShiftJis(JisSource source, const unsigned char* bytes, size_t length, unsigned char* out,
                      size_t* written);
