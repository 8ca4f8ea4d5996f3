#include <string.h>

#include "toolkit.h"

static BOOL Fits(const char *path)
{
    size_t len;
    return SUCCEEDED(StringCchLengthA(path, CopyPathCapacity, &len));
}

static void CopyTimeStamp(HANDLE source, HANDLE destination)
{
    FILETIME written, local;
    WORD date, time;
    if (!GetFileTime(source, NULL, NULL, &written) || !FileTimeToLocalFileTime(&written, &local) ||
        !FileTimeToDosDateTime(&local, &date, &time))
        return;
    if (DosDateTimeToFileTime(date, time, &local) && LocalFileTimeToFileTime(&local, &written))
        SetFileTime(destination, NULL, NULL, &written);
}

void CopyFileRaw(const char *destinationPath, const char *sourcePath)
{
    static char buffer[32768];

    HANDLE source = INVALID_HANDLE_VALUE;
    if (Fits(sourcePath))
        source = CreateFileA(sourcePath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, NULL);
    if (source == INVALID_HANDLE_VALUE) {
        MessageBoxA(NULL, sourcePath, "File Copy - From file - can't open", MB_OK);
        return;
    }

    HANDLE destination = INVALID_HANDLE_VALUE;
    if (Fits(destinationPath)) {
        DeleteFileA(destinationPath);
        destination = CreateFileA(destinationPath, GENERIC_READ | GENERIC_WRITE, 0, NULL,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    }
    if (destination == INVALID_HANDLE_VALUE) {
        CloseHandle(source);
        MessageBoxA(NULL, destinationPath, "File Copy - To file - can't open", MB_OK);
        return;
    }

    // A failed read or a short write leaves the copy incomplete: never kept as if whole.
    const char *failed = NULL, *failedPath = NULL;
    for (;;) {
        DWORD got, written;
        if (!ReadFile(source, buffer, sizeof buffer - 1, &got, NULL)) {
            failed = "File Copy - From file - can't read";
            failedPath = sourcePath;
            break;
        }
        if (got == 0)
            break;
        if (!WriteFile(destination, buffer, got, &written, NULL) || written != got) {
            failed = "File Copy - To file - can't write";
            failedPath = destinationPath;
            break;
        }
    }
    if (!failed)
        CopyTimeStamp(source, destination);
    CloseHandle(source);
    CloseHandle(destination);
    if (failed) {
        DeleteFileA(destinationPath);
        MessageBoxA(NULL, failedPath, failed, MB_OK);
    }
}
