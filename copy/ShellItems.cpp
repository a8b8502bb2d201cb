#include "ShellItems.h"
#include "PathText.h"
#include <string.h>

namespace {

enum { PathLimit = HostBufferSize - 1 };  // the longest path, in bytes, without its NUL
// A folder's path while its tree is walked: wide characters, a few more than
// the bytes of the longest path, so that any path within the limit fits with
// its listing pattern "\*".
enum { WidePathRoom = HostBufferSize + 8 };

bool IsDotEntry(const WCHAR* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

// The bytes name takes in the system's code page (code page 932 here), or more
// than any path may hold when it cannot be converted.
int CodePageLength(const WCHAR* name) {
    int length = WideCharToMultiByte(CP_ACP, 0, name, -1, nullptr, 0, nullptr, nullptr);
    return length > 0 ? length - 1 : PathLimit + 1;
}

// Walks the folder whose wide path ends at end (its NUL) inside path
// (WidePathRoom characters); sourceBytes and targetBytes are the folder's
// path lengths at the source and at the target. Returns false as soon as a
// path of the tree passes the limit on either side, or a folder of it cannot
// be listed (its listing pattern passes the limit, or the listing fails):
// what the library cannot look into, the shell cannot reach either.
bool TreeFits(WCHAR* path, WCHAR* end, int sourceBytes, int targetBytes) {
    if (sourceBytes + 2 > PathLimit || (end - path) + 3 > WidePathRoom) return false;
    end[0] = L'\\';
    end[1] = L'*';
    end[2] = L'\0';
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(path, &entry);
    end[0] = L'\0';
    if (search == INVALID_HANDLE_VALUE) return false;
    bool fits = true;
    do {
        if (IsDotEntry(entry.cFileName)) continue;
        int nameBytes = CodePageLength(entry.cFileName);
        int childSource = sourceBytes + 1 + nameBytes;
        int childTarget = targetBytes + 1 + nameBytes;
        if (childSource > PathLimit || childTarget > PathLimit) fits = false;
        else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            int nameLength = lstrlenW(entry.cFileName);
            if ((end - path) + 1 + nameLength + 1 > WidePathRoom) {
                fits = false;
            } else {
                end[0] = L'\\';
                memcpy(end + 1, entry.cFileName, (nameLength + 1) * sizeof(WCHAR));
                fits = TreeFits(path, end + 1 + nameLength, childSource, childTarget);
                end[0] = L'\0';
            }
        }
    } while (fits && FindNextFileW(search, &entry));
    FindClose(search);
    return fits;
}

// The folder source (code page 932, as the host named it) walked with its
// target path of targetBytes bytes.
bool FolderTreeFits(const char* source, int targetBytes) {
    WCHAR path[WidePathRoom];
    int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, source, -1, path, WidePathRoom);
    if (length <= 0) return false;
    return TreeFits(path, path + length - 1, lstrlenA(source), targetBytes);
}

bool IsFolder(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

}  // namespace

void ComposeShellTarget(const char* source, const char* destination, char* target) {
    char* end = CopyToEnd(target, destination, target + ShellTargetRoom, CopyCut);
    CopyToEnd(end, FindNamePart(source), target + ShellTargetRoom, CopyCut);
}

ShellItemKind CheckShellItem(const char* source, const char* destination, char* target) {
    ComposeShellTarget(source, destination, target);
    int targetBytes = lstrlenA(target);
    if (targetBytes > PathLimit) return ShellItemRefused;
    DWORD sourceAttributes = GetFileAttributesA(source);
    // A missing source is the shell's to report; it is looked for as a file afterwards.
    if (sourceAttributes == INVALID_FILE_ATTRIBUTES) return ShellItemFile;
    DWORD targetAttributes = GetFileAttributesA(target);
    if (targetAttributes != INVALID_FILE_ATTRIBUTES && IsFolder(targetAttributes) != IsFolder(sourceAttributes))
        return ShellItemRefused;
    if (!IsFolder(sourceAttributes)) return ShellItemFile;
    return FolderTreeFits(source, targetBytes) ? ShellItemFolder : ShellItemRefused;
}

bool ShellItemArrived(const char* target, ShellItemKind kind) {
    DWORD attributes = GetFileAttributesA(target);
    return attributes != INVALID_FILE_ATTRIBUTES && IsFolder(attributes) == (kind == ShellItemFolder);
}
