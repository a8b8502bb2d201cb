#include "NameRules.h"
#include "PathText.h"
#include <string.h>

char* ProposeName(char* buffer, size_t size, bool needsSeparator, const char* proposal) {
    char* limit = buffer + size;
    char* end = static_cast<char*>(memchr(buffer, '\0', size));
    if (!end) return nullptr;
    if (needsSeparator) {
        end = CopyToEnd(end, "\\", limit);
        if (!end) return nullptr;
    }
    char* nameEnd = CopyToEnd(end, proposal, limit, CopyCut);
    if (!nameEnd || nameEnd == end) return nullptr;
    return end;
}

char* ClimbOneLevel(char* buffer, size_t size, char* namePart, const PathQueries& queries) {
    char rest[512];
    const char* after = namePart + 2;
    if (*after == '\\') ++after;
    CopyToEnd(rest, after, rest + sizeof rest, CopyCut);
    *namePart = '\0';  // buffer: the item's folder with its trailing "\"
    size_t leastCount = buffer[0] == '\\' ? 3 : 2;
    bool climbable = namePart - buffer > 2 && namePart[-1] == '\\';  // a folder part behind the root bytes
    if (climbable && queries.separators(buffer + 2) >= leastCount) {
        namePart[-1] = '\0';
        char* parentName = queries.namePart(buffer + 2);
        if (parentName > buffer && parentName < namePart) namePart = parentName;
        else namePart[-1] = '\\';  // not a position in the folder's path: stay where it was
    }
    CopyToEnd(namePart, rest, buffer + size, CopyCut);
    return namePart;
}

bool OwnNameFits(const char* buffer, size_t size, const char* ownName) {
    size_t length = strnlen(buffer, size);
    if (length == size) return false;  // not even terminated
    if (length == 0 || buffer[length - 1] != '\\') return true;
    if (*FindNamePart(buffer) != '\0') return true;  // a trail byte 0x5C, not a separator
    return length + strlen(ownName) < size;
}
