// Settings files read once into memory, as the profile functions read them.
#include <stdlib.h>
#include <string.h>

#include "profile_text.h"
#include "toolkit.h"

BOOL LoadProfileFile(const char *path, BOOL forWriting, ProfileText *text)
{
    // They convert through the ANSI code page; in memory a byte is a character.
    CPINFO codePage;
    if (!GetCPInfo(CP_ACP, &codePage) || codePage.MaxCharSize != 1)
        return FALSE;
    // Opened as they open it: a file they cannot open stays theirs to fail on.
    HANDLE file = CreateFileA(path, GENERIC_READ | (forWriting ? GENERIC_WRITE : 0),
                              ShareAll(), NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND && ProfileLoad(text, NULL, 0);
    DWORD size = GetFileSize(file, NULL), got = 0;
    char *bytes = size != INVALID_FILE_SIZE ? (char *)malloc((size_t)size + 1) : NULL;
    BOOL read = bytes && ReadFile(file, bytes, size, &got, NULL) && got == size;
    CloseHandle(file);
    // A byte-order mark: UTF-8, or UTF-16 either way round.
    BOOL marked = read && ((size >= 3 && memcmp(bytes, "\xef\xbb\xbf", 3) == 0) ||
                           (size >= 2 && (memcmp(bytes, "\xff\xfe", 2) == 0 || memcmp(bytes, "\xfe\xff", 2) == 0)));
    BOOL loaded = read && !marked && ProfileLoad(text, bytes, size);
    free(bytes);
    return loaded;
}
