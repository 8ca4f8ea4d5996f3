#include <io.h>
#include <stdio.h>

#include "kit.h"
#include "system_ini_lines.h"
#include "toolkit.h"

#include <strsafe.h>

enum { IniPathCapacity = 256 };

int RegisterVirtualDevice(void)
{
    char windowsDir[IniPathCapacity];
    UINT n = GetWindowsDirectoryA(windowsDir, sizeof windowsDir);
    if (n == 0 || n >= sizeof windowsDir)
        return SYSTEM_INI_UNREADABLE;
    RestoreSystemIni();
    return RegisterVirtualDeviceIn(windowsDir);
}

int RegisterVirtualDeviceIn(const char *windowsDir)
{
    char iniPath[IniPathCapacity], newPath[IniPathCapacity];
    if (FAILED(StringCchPrintfA(iniPath, sizeof iniPath, "%s\\SYSTEM.INI", windowsDir)))
        return SYSTEM_INI_UNREADABLE;

    // Changes made through the profile functions may still wait in their cache.
    WritePrivateProfileStringA(NULL, NULL, NULL, iniPath);

    FILE *ini = fopen(iniPath, "rb");
    if (!ini)
        return SYSTEM_INI_UNREADABLE;
    int deviceFound, sectionFound;
    if (ScanSystemIni(ini, &deviceFound, &sectionFound) != 0) {
        fclose(ini);
        return SYSTEM_INI_UNREADABLE;
    }
    // Without the section there is no place for the line; the file stays as it is.
    if (deviceFound || !sectionFound) {
        fclose(ini);
        return DEVICE_REGISTERED;
    }
    if (fseek(ini, 0, SEEK_SET) != 0) {
        fclose(ini);
        return SYSTEM_INI_UNREADABLE;
    }

    if (FAILED(StringCchPrintfA(newPath, sizeof newPath, "%s\\SYSTEM.QQQ", windowsDir))) {
        fclose(ini);
        return SYSTEM_INI_NOT_UPDATED;
    }
    FILE *copy = fopen(newPath, "wb");
    if (!copy) {
        fclose(ini);
        return SYSTEM_INI_NOT_UPDATED;
    }
    BOOL whole = CopyWithDeviceLine(ini, copy) == 0;
    fclose(ini);
    // The copy must be on the disk before it takes SYSTEM.INI's place.
    whole = whole && fflush(copy) == 0 && _commit(_fileno(copy)) == 0;
    if (fclose(copy) != 0)
        whole = FALSE;
    if (!whole) {
        DeleteFileA(newPath);
        return SYSTEM_INI_NOT_UPDATED;
    }
    char backupPath[IniPathCapacity];
    if (FAILED(StringCchPrintfA(backupPath, sizeof backupPath, "%s\\" SYSTEM_INI_BACKUP, windowsDir))) {
        DeleteFileA(newPath);
        return SYSTEM_INI_NOT_UPDATED;
    }
    if (!ReplaceWholeFile(newPath, iniPath, backupPath))
        return SYSTEM_INI_NOT_UPDATED;
    return DEVICE_REGISTERED;
}
