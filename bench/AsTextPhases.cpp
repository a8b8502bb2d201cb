// Where AsText's time goes, phase by phase, in the 32-bit build on the target
// system: astext_phases FILE... prints, per file, the best of 5 runs of
//   read      CreateFileA + GlobalAlloc(size + 4) + GlobalLock, a byte written
//             into every page, one ReadFile (as AsText reads)
//   unmapped  the same without writing into the pages first
//   scan      ScanStructure over the block
//   score     ScoreMultibyte over the block (whether or not the decision needs it)
//   decide    DecideEncoding over the block (what AsText runs)
//   utf16     dropping the mark and swapping in place, for UTF-16 verdicts
//   size      the converter's size call, for converted verdicts
//   convert   a new block of that size and the converter's convert call
// in milliseconds, and the verdict. Each run reads into a fresh block, as
// AsText does. EUC-JP goes through mlang.dll, the others through
// MultiByteToWideChar, as in AsText.
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include "EncodingScan.h"

namespace {

typedef HRESULT(WINAPI* InetToUnicode)(LPDWORD, DWORD, LPCSTR, LPINT, LPWSTR, LPINT);

double frequency = 1;

double Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / frequency;
}

struct Phases {
    double read, unmapped, scan, score, decide, utf16, size, convert;
};

const int PhaseCount = 8;

// Reads path into a fresh block of size + 4 bytes, writing into its pages
// first when mapFirst is set. Returns the block (the caller frees it) or 0.
HGLOBAL ReadIntoBlock(const char* path, bool mapFirst, unsigned char** data, DWORD* size) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    *size = GetFileSize(file, nullptr);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, *size + 4);
    *data = block ? static_cast<unsigned char*>(GlobalLock(block)) : nullptr;
    if (*data && mapFirst)
        for (DWORD offset = 0; offset < *size; offset += 4096) (*data)[offset] = 0;
    DWORD read = 0;
    bool ok = *data && ReadFile(file, *data, *size, &read, nullptr) && read == *size;
    CloseHandle(file);
    if (!ok) {
        if (block) GlobalFree(block);
        return nullptr;
    }
    memset(*data + *size, 0, 4);
    return block;
}

// One run over path; false when the file cannot be read or a converter fails.
bool RunOnce(const char* path, Phases& p, TextDecision& decision, InetToUnicode mlang) {
    p = Phases();
    unsigned char* data = nullptr;
    DWORD size = 0;
    double u0 = Now();
    HGLOBAL block = ReadIntoBlock(path, false, &data, &size);
    p.unmapped = Now() - u0;
    if (!block) return false;
    GlobalFree(block);
    double t0 = Now();
    block = ReadIntoBlock(path, true, &data, &size);
    double t1 = Now();
    if (!block) return false;
    bool ok = true;
    volatile uint64_t sink = ScanStructure(data, size).highBytes;
    double t2 = Now();
    sink = sink + static_cast<uint64_t>(ScoreMultibyte(data, size).shiftJis);
    double t3 = Now();
    decision = DecideEncoding(data, size);
    double t4 = Now();
    p.read = t1 - t0;
    p.scan = t2 - t1;
    p.score = t3 - t2;
    p.decide = t4 - t3;
    if (decision.verdict == VerdictUtf16) {
        double s0 = Now();
        if (decision.byteOrderMark) memmove(data, data + 2, size);
        if (decision.bigEndian) SwapBytePairs(data, size);
        p.utf16 = Now() - s0;
    } else if (decision.verdict == VerdictConvert) {
        const char* source = reinterpret_cast<const char*>(data) + decision.sourceOffset;
        double c0 = Now();
        int units = 0;
        DWORD mode = 0;
        INT sourceCount = -1;
        if (decision.codePage == CodePageEuc && mlang) {
            if (mlang(&mode, CodePageEuc, source, &sourceCount, nullptr, &units) != S_OK) units = 0;
        } else {
            units = MultiByteToWideChar(decision.codePage, 0, source, -1, nullptr, 0);
        }
        double c1 = Now();
        if (units > 0) {
            HGLOBAL out = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, (units + 1) * sizeof(WCHAR));
            WCHAR* text = out ? static_cast<WCHAR*>(GlobalLock(out)) : nullptr;
            if (text) {
                if (decision.codePage == CodePageEuc && mlang) {
                    sourceCount = -1;
                    INT capacity = units;
                    ok = mlang(&mode, CodePageEuc, source, &sourceCount, text, &capacity) == S_OK;
                } else {
                    ok = MultiByteToWideChar(decision.codePage, 0, source, -1, text, units) == units;
                }
            }
            if (out) GlobalFree(out);
        } else {
            ok = false;
        }
        p.size = c1 - c0;
        p.convert = Now() - c1;
    }
    GlobalFree(block);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: astext_phases FILE...\n");
        return 2;
    }
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    frequency = static_cast<double>(f.QuadPart);
    HMODULE library = LoadLibraryA("mlang.dll");
    InetToUnicode mlang =
        library ? reinterpret_cast<InetToUnicode>(GetProcAddress(library, "ConvertINetMultiByteToUnicode")) : nullptr;
    printf("%-28s %9s %7s %8s %7s %7s %7s %7s %7s %7s  %s\n", "file", "bytes", "read", "unmapped", "scan", "score",
           "decide", "utf16", "size", "convert", "verdict/codepage");
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        double best[PhaseCount];
        for (double& b : best) b = 1e30;
        TextDecision decision = TextDecision();
        bool ok = true;
        for (int run = 0; run < 5 && ok; ++run) {
            Phases p;
            ok = RunOnce(argv[i], p, decision, mlang);
            const double values[PhaseCount] = {p.read,   p.unmapped, p.scan, p.score,
                                               p.decide, p.utf16,    p.size, p.convert};
            for (int k = 0; k < PhaseCount; ++k)
                if (values[k] < best[k]) best[k] = values[k];
        }
        if (!ok) {
            fprintf(stderr, "astext_phases: %s failed\n", argv[i]);
            status = 1;
            continue;
        }
        const char* name = strrchr(argv[i], '\\');
        HANDLE file = CreateFileA(argv[i], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD size = GetFileSize(file, nullptr);
        CloseHandle(file);
        printf("%-28s %9lu", name ? name + 1 : argv[i], static_cast<unsigned long>(size));
        for (int k = 0; k < PhaseCount; ++k) printf(k == 1 ? " %8.1f" : " %7.1f", best[k]);
        printf("  %d/%d\n", static_cast<int>(decision.verdict), static_cast<int>(decision.codePage));
    }
    if (library) FreeLibrary(library);
    return status;
}
