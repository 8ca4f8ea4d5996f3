#include <stdlib.h>

#include "kit.h"
#include "system_ini_lines.h"
#include "toolkit.h"

enum { IniPathCapacity = 256 };

int RegisterVirtualDevice(void)
{
    char windowsDir[IniPathCapacity];
    UINT n = GetWindowsDirectoryA(windowsDir, sizeof windowsDir);
    if (n == 0 || n >= sizeof windowsDir)
        return SYSTEM_INI_UNREADABLE;
    return RegisterVirtualDeviceIn(windowsDir);
}

// The whole file, or NULL when it cannot be read whole: a read that breaks off
// must not let a partial copy take its place.
static char *ReadWholeFile(const char *path, DWORD *size)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return NULL;
    *size = GetFileSize(file, NULL);
    char *bytes = *size != INVALID_FILE_SIZE ? (char *)malloc((size_t)*size + 1) : NULL;
    DWORD got = 0;
    if (bytes && !(ReadFile(file, bytes, *size, &got, NULL) && got == *size)) {
        free(bytes);
        bytes = NULL;
    }
    CloseHandle(file);
    return bytes;
}

// Writes the rewritten text beside SYSTEM.INI, then puts it in its place.
static int Replace(const char *windowsDir, const char *iniPath, const char *text, size_t size)
{
    char newPath[IniPathCapacity], backupPath[IniPathCapacity];
    if (!FormatText(newPath, sizeof newPath, "%s\\SYSTEM.QQQ", windowsDir) ||
        !FormatText(backupPath, sizeof backupPath, "%s\\" SYSTEM_INI_BACKUP, windowsDir))
        return SYSTEM_INI_NOT_UPDATED;
    size_t needed = WithDeviceLine(text, size, NULL);
    char *copy = (char *)malloc(needed);
    BOOL replaced = copy && WithDeviceLine(text, size, copy) == needed &&
                    WriteWholeFile(newPath, copy, needed) && ReplaceWholeFile(newPath, iniPath, backupPath);
    free(copy);
    return replaced ? DEVICE_REGISTERED : SYSTEM_INI_NOT_UPDATED;
}

int RegisterVirtualDeviceIn(const char *windowsDir)
{
    char iniPath[IniPathCapacity];
    if (!FormatText(iniPath, sizeof iniPath, "%s\\SYSTEM.INI", windowsDir))
        return SYSTEM_INI_UNREADABLE;

    // Changes made through the profile functions may still wait in their cache.
    WritePrivateProfileStringA(NULL, NULL, NULL, iniPath);

    DWORD size = 0;
    char *text = ReadWholeFile(iniPath, &size);
    if (!text)
        return SYSTEM_INI_UNREADABLE;
    // Without the section there is no place for the line; the file stays as it is.
    int result = NeedsDeviceLine(text, size) ? Replace(windowsDir, iniPath, text, size) : DEVICE_REGISTERED;
    free(text);
    return result;
}
