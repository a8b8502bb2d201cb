// Times the text decision on whole files: decision_bench FILE...
// Prints one line per file: <file> <bytes> <best seconds of 5> <MiB/s>.
// Each file is read into memory with the 4 zero bytes that follow a loaded
// file, then decided five times; the best run counts.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <chrono>
#include <vector>
#include "EncodingScan.h"

namespace {

bool ReadWhole(const char* path, std::vector<unsigned char>& bytes) {
    FILE* file = fopen(path, "rb");
    if (!file) return false;
    bytes.clear();
    unsigned char chunk[1 << 16];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    bool ok = !ferror(file);
    fclose(file);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: decision_bench FILE...\n");
        return 2;
    }
    int status = 0;
    volatile unsigned sink = 0;
    for (int i = 1; i < argc; ++i) {
        std::vector<unsigned char> bytes;
        if (!ReadWhole(argv[i], bytes)) {
            fprintf(stderr, "decision_bench: cannot read %s\n", argv[i]);
            status = 1;
            continue;
        }
        size_t size = bytes.size();
        bytes.resize(size + 4, 0);
        double best = 1e30;
        for (int run = 0; run < 5; ++run) {
            auto start = std::chrono::steady_clock::now();
            TextDecision d = DecideEncoding(bytes.data(), size);
            auto stop = std::chrono::steady_clock::now();
            sink = sink + d.verdict + d.codePage;
            double seconds = std::chrono::duration<double>(stop - start).count();
            if (seconds < best) best = seconds;
        }
        double mibPerSecond = best > 0 ? size / (1024.0 * 1024.0) / best : 0;
        printf("%s %zu %.6f %.1f\n", argv[i], size, best, mibPerSecond);
    }
    return status;
}
