// The history combo box of the folder browser and its file, TavimoreCP.dst.
#include "BrowseHook.h"
#include "History.h"
#include "ModuleState.h"
#include "PathText.h"
#include "Texts.h"
#include <shlobj.h>
#include <string.h>

namespace {

enum {
    EntrySize = HistoryEntryLimit + 1,
    ReadLimit = 16 * 1024 * 1024,  // bytes of the file looked at; 49 entries come long before
    LastListIndex = HistoryListLimit - 1,
};

// Opens the file for reading and writing. A read-only file is not opened at
// all, also where the user's rights would allow it (root on Wine), so that it
// neither fills the list nor changes.
HANDLE OpenHistory(const char* path, DWORD disposition) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return INVALID_HANDLE_VALUE;
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

int Caseless(const char* a, const char* b) { return lstrcmpiA(a, b); }

// Fetches list entry index into buffer (EntrySize bytes). False when the box
// has no such entry or it would not fit.
bool FetchEntry(HWND combo, int index, char* buffer) {
    LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0 || length >= EntrySize) return false;
    return SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer)) >= 0;
}

}  // namespace

void HistoryFilePath(char* buffer, size_t size) {
    char* limit = buffer + size;
    char folder[MAX_PATH + 1] = "";
    char* end = nullptr;
    if (SHGetSpecialFolderPathA(nullptr, folder, CSIDL_APPDATA, FALSE)) end = CopyToEnd(buffer, folder, limit);
    if (!end || !CopyToEnd(end, HistoryFileName, limit)) CopyToEnd(buffer, HistoryFileName, limit);
}

void LoadHistory(HWND combo, const char* path) {
    HANDLE file = OpenHistory(path, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) size = 0;
    if (high != 0 || size > ReadLimit) size = ReadLimit;
    char* data = static_cast<char*>(GlobalAlloc(GMEM_FIXED, size ? size : 1));
    DWORD read = 0;
    if (data && size > 0 && !ReadFile(file, data, size, &read, nullptr)) read = 0;
    CloseHandle(file);
    if (!data) return;
    size_t at = 0;
    const char* start;
    size_t length;
    char entry[EntrySize];
    while (NextHistoryEntry(data, read, &at, &start, &length)) {
        memcpy(entry, start, length);
        entry[length] = '\0';
        LRESULT index = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
        if (index < 0 || index >= LastListIndex) break;
    }
    GlobalFree(data);
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
}

void SaveHistory(HWND combo, const char* path, const char* current) {
    HANDLE file = OpenHistory(path, OPEN_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) return;
    // The listed entries, one 260-byte field each, and the file's image.
    char* block = static_cast<char*>(GlobalAlloc(GMEM_FIXED, HistoryListLimit * EntrySize + HistoryFileLimit));
    if (block) {
        const char* entries[HistoryListLimit];
        size_t count = 0;
        for (int i = 0; combo && count < HistoryListLimit; ++i) {
            char* entry = block + count * EntrySize;
            LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
            if (length == CB_ERR) break;
            if (!FetchEntry(combo, i, entry)) continue;
            entries[count++] = entry;
        }
        char* image = block + HistoryListLimit * EntrySize;
        size_t size = ComposeHistory(image, HistoryFileLimit, current, entries, count, Caseless);
        DWORD written = 0;
        if (WriteFile(file, image, static_cast<DWORD>(size), &written, nullptr) && written == size)
            SetEndOfFile(file);
        GlobalFree(block);
    }
    CloseHandle(file);
}

void SortHistory(HWND combo) {
    if (!combo || !moduleState.context) return;
    HostContext* context = moduleState.context;
    bool descending = (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
    char* kept = context->workBuffer;
    kept[0] = '\0';
    SendMessageA(combo, WM_GETTEXT, HostBufferSize, reinterpret_cast<LPARAM>(kept));
    kept[HostBufferSize - 1] = '\0';
    LRESULT counted = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    int n = counted > 0 ? static_cast<int>(counted) : 0;
    for (int i = 0; i < n;) {
        char* a = context->nameBuffer;
        char* b = context->messageBuffer;
        int best = i;
        bool duplicate = false;
        if (!FetchEntry(combo, i, a)) break;
        for (int j = i + 1; j < n; ++j) {
            if (!FetchEntry(combo, j, b)) continue;
            int d = CompareHistoryEntries(a, b, Caseless);
            if (descending ? d <= 0 : d >= 0) {
                best = j;
                char* swap = a;
                a = b;
                b = swap;
                if (d == 0) {
                    duplicate = true;
                    break;
                }
            }
        }
        if (best == i) {
            ++i;
            continue;
        }
        SendMessageA(combo, CB_DELETESTRING, static_cast<WPARAM>(best), 0);
        if (duplicate) {
            --n;
            continue;
        }
        SendMessageA(combo, CB_INSERTSTRING, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(a));
        ++i;
    }
    SendMessageA(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kept));
}
