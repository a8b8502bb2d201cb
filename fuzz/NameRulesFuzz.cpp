// CgName's joins on arbitrary folders, typed texts and item names, in a buffer
// exactly as long as messageBuffer, so that any write past it is caught: the
// proposal, the name check's bounded read (simulated), the climb one level up
// and the room for the item's own name. Each must leave one terminated path
// inside the buffer.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include "NameRules.h"
#include "PathText.h"

namespace {

enum { FieldSize = 260, NameTextLimit = 224 };

size_t Separators(char* text) { return CountSeparators(text); }
char* NamePart(char* path) { return const_cast<char*>(FindNamePart(path)); }

// Next NUL-free piece of the input (up to a 0 byte or the end).
const char* TakePiece(const uint8_t*& data, size_t& size, char* out, size_t room) {
    size_t n = 0;
    while (size > 0 && *data != 0) {
        if (n + 1 < room) out[n++] = static_cast<char>(*data);
        ++data, --size;
    }
    if (size > 0) ++data, --size;
    out[n] = '\0';
    return out;
}

void Check(bool condition) {
    if (!condition) abort();
}

void CheckTerminated(const char* buffer) { Check(memchr(buffer, '\0', FieldSize) != nullptr); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    bool unc = data[0] & 1, create = data[0] & 2;
    ++data, --size;
    char folder[1024], typed[1024], ownName[1024];
    TakePiece(data, size, folder, sizeof folder);
    TakePiece(data, size, typed, sizeof typed);
    TakePiece(data, size, ownName, sizeof ownName);

    char* buffer = static_cast<char*>(malloc(FieldSize));
    char* start = CopyToEnd(buffer, unc ? "\\\\" : "X:", buffer + FieldSize);
    CopyToEnd(start, folder, buffer + FieldSize - 1, CopyCut);
    CheckTerminated(buffer);

    char* namePart;
    if (create) {
        size_t length = strlen(buffer);
        namePart = ProposeName(buffer, FieldSize, length == 0 || buffer[length - 1] != '\\', "NewFile");
        CheckTerminated(buffer);
        if (!namePart) {
            free(buffer);
            return 0;
        }
    } else {
        namePart = NamePart(buffer);
    }
    Check(namePart >= buffer && namePart < buffer + FieldSize);

    // The name check reads at most this much and refuses a longer text.
    size_t room = static_cast<size_t>(buffer + FieldSize - namePart);
    if (room > NameTextLimit) room = NameTextLimit;
    if (strlen(typed) >= room) {
        free(buffer);
        return 0;
    }
    memcpy(namePart, typed, strlen(typed) + 1);

    if (namePart[0] == '.' && namePart[1] == '.') {
        PathQueries queries = {Separators, NamePart};
        char* climbed = ClimbOneLevel(buffer, FieldSize, namePart, queries);
        Check(climbed >= buffer && climbed <= namePart);
        CheckTerminated(buffer);
    }
    if (OwnNameFits(buffer, FieldSize, ownName)) {
        size_t length = strlen(buffer);
        if (length > 0 && buffer[length - 1] == '\\' && *FindNamePart(buffer) == '\0')
            Check(CopyToEnd(buffer + length, ownName, buffer + FieldSize) != nullptr);
    }
    CheckTerminated(buffer);
    free(buffer);
    return 0;
}
