// timetool.exe: what the DtTime tests ask of Windows besides the command itself.
//   times PATH             "creation: Y M D h m s ms" and "lastwrite: ..." in local time
//   attr PATH HEX          set the file attributes
//   getattr PATH           print the file attributes in hex
//   hold PATH READY STOP   open PATH without any sharing, create READY, keep the
//                          file open until STOP exists (at most 60 s)
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

static void PrintLocal(const char* label, const FILETIME& time) {
    FILETIME local;
    SYSTEMTIME s;
    FileTimeToLocalFileTime(&time, &local);
    FileTimeToSystemTime(&local, &s);
    printf("%s: %u %u %u %u %u %u %u\n", label, s.wYear, s.wMonth, s.wDay, s.wHour, s.wMinute, s.wSecond,
           s.wMilliseconds);
}

int main(int argc, char** argv) {
    if (argc == 3 && !strcmp(argv[1], "times")) {
        HANDLE file = CreateFileA(argv[2], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        FILETIME created, written;
        if (file == INVALID_HANDLE_VALUE || !GetFileTime(file, &created, nullptr, &written)) return 1;
        CloseHandle(file);
        PrintLocal("creation", created);
        PrintLocal("lastwrite", written);
        return 0;
    }
    if (argc == 4 && !strcmp(argv[1], "attr"))
        return SetFileAttributesA(argv[2], strtoul(argv[3], nullptr, 16)) ? 0 : 1;
    if (argc == 3 && !strcmp(argv[1], "getattr")) {
        DWORD attributes = GetFileAttributesA(argv[2]);
        if (attributes == INVALID_FILE_ATTRIBUTES) return 1;
        printf("%lX\n", static_cast<unsigned long>(attributes));
        return 0;
    }
    if (argc == 5 && !strcmp(argv[1], "hold")) {
        HANDLE file = CreateFileA(argv[2], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 1;
        CloseHandle(CreateFileA(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        for (int i = 0; i < 600 && GetFileAttributesA(argv[4]) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
        CloseHandle(file);
        return 0;
    }
    fputs("usage: timetool times|attr|getattr|hold ...\n", stderr);
    return 2;
}
