// AsText: one file read into a movable global block, its encoding decided by
// DecideEncoding, and the block handed to the host as clipboard text, turned
// into UTF-16 in place or by a converter where the encoding calls for it.
#include <string.h>
#include "EncodingScan.h"
#include "Exports.h"
#include "JisDecode.h"
#include "PathText.h"
#include "StandardBox.h"
#include "Texts.h"

namespace {

const DWORD FormatUnicodeText = 13;  // CF_UNICODETEXT
const DWORD SlackBytes = 4;
const DWORD PageStride = 4096;       // the smallest page size of the x86 systems

// Writes one byte into every page of a fresh block, so that its pages are
// mapped before ReadFile fills it: on Wine a read into unmapped pages takes
// about half again as long as mapping them first and reading then.
void MapPages(unsigned char* data, DWORD size) {
    for (DWORD offset = 0; offset < size; offset += PageStride) data[offset] = 0;
}

typedef HRESULT(WINAPI* InetToUnicode)(LPDWORD mode, DWORD encoding, LPCSTR source, LPINT sourceCount,
                                       LPWSTR destination, LPINT destinationCount);

// A read file: the locked data block (size bytes and 4 zero bytes behind them).
struct LoadedFile {
    HGLOBAL block;
    unsigned char* data;
    DWORD size;
};

// Reads path whole into a new block. Returns 0 and fills file, or the message
// of the failure (no block is left behind then).
const char* LoadWholeFile(const char* path, LoadedFile& file) {
    HANDLE handle = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return TextCannotRead;
    DWORD high = 0;
    DWORD size = GetFileSize(handle, &high);
    const char* failure = nullptr;
    if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        failure = TextCannotRead;
    } else if (high != 0 || size > 0xFFFFFFFFu - SlackBytes) {
        failure = TextCannotRead;  // the block size would not fit 32 bits
    } else if (size == 0) {
        failure = TextSizeZero;
    } else {
        file.block = GlobalAlloc(GMEM_MOVEABLE, size + SlackBytes);
        file.data = file.block ? static_cast<unsigned char*>(GlobalLock(file.block)) : nullptr;
        DWORD read = 0;
        if (file.data) MapPages(file.data, size);
        if (!file.data || !ReadFile(handle, file.data, size, &read, nullptr) || read != size) {
            if (file.block) GlobalFree(file.block);
            file.block = nullptr;
            failure = TextSizeZero;
        } else {
            memset(file.data + size, 0, SlackBytes);
            file.size = size;
        }
    }
    CloseHandle(handle);
    return failure;
}

// UTF-16 text made little-endian and unmarked in the block it was read into.
void MakeLittleEndianInPlace(LoadedFile& file, const TextDecision& decision) {
    unsigned char* d = file.data;
    // The two slack zeros that follow move down and end the text.
    if (decision.byteOrderMark) memmove(d, d + 2, file.size);
    if (decision.bigEndian) SwapBytePairs(d, file.size);
}

// A new locked block of units UTF-16 units, all zero. Returns the block, 0 on failure.
HGLOBAL AllocateUnits(int units, WCHAR** text) {
    if (units <= 0 || static_cast<unsigned>(units) > 0x7FFFFFFFu / sizeof(WCHAR)) return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, static_cast<SIZE_T>(units) * sizeof(WCHAR));
    if (!block) return nullptr;
    *text = static_cast<WCHAR*>(GlobalLock(block));
    if (!*text) {
        GlobalFree(block);
        return nullptr;
    }
    return block;
}

// NUL-terminated source through MultiByteToWideChar, the count taken by a
// first call. Returns the new block or 0; unsupported tells whether the
// system has no converter for the code page at all.
HGLOBAL ConvertBySystem(UINT codePage, const char* source, bool* unsupported) {
    *unsupported = false;
    int units = MultiByteToWideChar(codePage, 0, source, -1, nullptr, 0);
    if (units <= 0) {
        *unsupported = GetLastError() == ERROR_INVALID_PARAMETER;
        return nullptr;
    }
    WCHAR* text = nullptr;
    HGLOBAL block = AllocateUnits(units, &text);
    if (!block) return nullptr;
    if (MultiByteToWideChar(codePage, 0, source, -1, text, units) <= 0) {
        GlobalFree(block);
        return nullptr;
    }
    return block;
}

// EUC-JP through mlang.dll's converter. The count it reports leaves out the
// terminator on some systems, so one more unit is allocated and stays zero.
// Returns the new block or 0; unsupported tells whether mlang.dll, its
// function or its support for the code page is missing.
HGLOBAL ConvertByMlang(const char* source, bool* unsupported) {
    *unsupported = true;
    HMODULE mlang = LoadLibraryA("mlang.dll");
    if (!mlang) return nullptr;
    HGLOBAL block = nullptr;
    auto convert = reinterpret_cast<InetToUnicode>(GetProcAddress(mlang, "ConvertINetMultiByteToUnicode"));
    if (convert) {
        DWORD mode = 0;
        INT sourceCount = -1, units = 0;
        HRESULT result = convert(&mode, CodePageEuc, source, &sourceCount, nullptr, &units);
        *unsupported = result == S_FALSE;
        WCHAR* text = nullptr;
        if (result == S_OK && units > 0 && units < 0x3FFFFFFF && (block = AllocateUnits(units + 1, &text))) {
            sourceCount = -1;
            INT capacity = units;
            if (convert(&mode, CodePageEuc, source, &sourceCount, text, &capacity) != S_OK) {
                GlobalFree(block);
                block = nullptr;
            }
        }
    }
    FreeLibrary(mlang);
    return block;
}

// The library's own way: ISO-2022-JP or EUC-JP to Shift-JIS, then code page
// 932 to UTF-16. A sequence without a mapping fails the conversion.
HGLOBAL ConvertByOwnDecoder(JisSource from, const unsigned char* source, DWORD length) {
    HANDLE heap = GetProcessHeap();
    unsigned char* shiftJis = static_cast<unsigned char*>(HeapAlloc(heap, 0, length + 1));
    if (!shiftJis) return nullptr;
    HGLOBAL block = nullptr;
    size_t written = 0;
    if (DecodeToShiftJis(from, source, length, shiftJis, &written)) {
        WCHAR* text = nullptr;
        if (written == 0) {
            block = AllocateUnits(1, &text);
        } else {
            const char* bytes = reinterpret_cast<const char*>(shiftJis);
            int count = static_cast<int>(written);
            int units = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, count, nullptr, 0);
            if (units > 0 && (block = AllocateUnits(units + 1, &text)) &&
                MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, count, text, units) != units) {
                GlobalFree(block);
                block = nullptr;
            }
        }
    }
    HeapFree(heap, 0, shiftJis);
    return block;
}

// UTF-16 text of the data from decision.sourceOffset on in a new block, or 0
// when the conversion failed (the data block is untouched either way).
HGLOBAL ConvertToUnicode(const LoadedFile& file, const TextDecision& decision) {
    const char* source = reinterpret_cast<const char*>(file.data) + decision.sourceOffset;
    bool unsupported = false;
    switch (decision.codePage) {
    case CodePageUtf8:
        return ConvertBySystem(CodePageUtf8, source, &unsupported);
    case CodePageJis: {
        HGLOBAL block = ConvertBySystem(CodePageJis, source, &unsupported);
        if (!block && unsupported) block = ConvertByOwnDecoder(JisFromIso2022, file.data, file.size);
        return block;
    }
    case CodePageEuc: {
        HGLOBAL block = ConvertByMlang(source, &unsupported);
        if (!block && unsupported) block = ConvertByOwnDecoder(JisFromEuc, file.data, file.size);
        return block;
    }
    default:
        return nullptr;
    }
}

// Path, then message, in messageBuffer; a message that would not fit behind
// the path shortens the path instead, so the warning is always whole.
void ComposeWarning(HostContext* context, const char* path, const char* message) {
    char* buffer = context->messageBuffer;
    char* limit = buffer + HostBufferSize;
    size_t messageLength = strlen(message);
    char* end = CopyToEnd(buffer, path, limit - messageLength, CopyCut);
    if (end) CopyToEnd(end, message, limit, CopyCut);
}

}  // namespace

extern "C" ULONG_PTR WINAPI AsText(HostContext* context, char** selection, DWORD* format, HWND host, void*,
                                   void*) {
    if (!context || !selection) return 0;
    const char* path = selection[0] ? selection[0] : "";
    CopyToEnd(context->messageBuffer, path, context->messageBuffer + HostBufferSize, CopyCut);

    LoadedFile file = {nullptr, nullptr, 0};
    const char* failure = LoadWholeFile(path, file);
    HGLOBAL result = nullptr;
    if (!failure) {
        TextDecision decision = DecideEncoding(file.data, file.size);
        switch (decision.verdict) {
        case VerdictNotText:
            GlobalFree(file.block);
            failure = TextNotText;
            break;
        case VerdictUtf16:
            MakeLittleEndianInPlace(file, decision);
            if (format) *format = FormatUnicodeText;
            result = file.block;
            break;
        case VerdictConvert:
            result = ConvertToUnicode(file, decision);
            if (result) {
                GlobalFree(file.block);
                if (format) *format = FormatUnicodeText;
            } else {
                result = file.block;
            }
            break;
        case VerdictAsRead:
            result = file.block;
            break;
        }
    }
    if (failure) {
        ComposeWarning(context, path, failure);
        ShowStandardBox(host, context->messageBuffer);
        return 0;
    }
    if (context->options & OptionToggleOnEnd) context->options ^= OptionToggled;
    return reinterpret_cast<ULONG_PTR>(result);
}
