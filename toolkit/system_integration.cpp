#include <stdlib.h>
#include <string.h>

#include "test_seams.h"
#include "toolkit.h"

enum { LOCAL_PATH = 500 };

static size_t SystemCapacity(void)
{
    return SystemPathCapacity < LOCAL_PATH ? (size_t)SystemPathCapacity : (size_t)LOCAL_PATH;
}

void InstallWinGRuntimeInto(const char *windowsDir, const char *systemDir)
{
    static const char *const systemFiles[] = {"WING.DLL", "WINGDE.DLL", "WINGDIB.DRV",
                                              "WINGPAL.WND", "DVA.386"};
    if (!SetTargetDir(systemDir))
        return;
    for (const char *name : systemFiles)
        ExpandFile(name);

    char probePath[LOCAL_PATH], system32[LOCAL_PATH];
    HANDLE probe = INVALID_HANDLE_VALUE;
    if (FormatText(probePath, SystemCapacity(), "%s\\SYSTEM32\\MODEFTST.QQQ", windowsDir) &&
        FormatText(system32, sizeof system32, "%s\\SYSTEM32", windowsDir))
        probe = OpenProbeFile(probePath, PROBE_OPEN);

    if (probe != INVALID_HANDLE_VALUE && SetTargetDir(system32)) {
        ExpandFile("WING32.DLL");
        CloseHandle(probe);
        DeleteFileA(probePath); // also when the file was there before the probe
        return;
    }
    if (probe != INVALID_HANDLE_VALUE) {
        // SYSTEM32 is there but TargetDir cannot hold its path.
        CloseHandle(probe);
        DeleteFileA(probePath);
    }
    SetTargetDir(systemDir);
    ExpandFile("WING32.DLL");
}

void InstallWinGRuntime(void)
{
    char windowsDir[LOCAL_PATH], systemDir[LOCAL_PATH];
    UINT w = GetWindowsDirectoryA(windowsDir, sizeof windowsDir);
    UINT s = GetSystemDirectoryA(systemDir, sizeof systemDir);
    if (w == 0 || w >= sizeof windowsDir || s == 0 || s >= sizeof systemDir)
        return;
    InstallWinGRuntimeInto(windowsDir, systemDir);
}

// The profile functions rewrite SYSTEM.INI in place: an installer stopped
// meanwhile would leave it cut. The new file takes the old one's place whole.
static void PointSystemIniAt(const char *saverPath)
{
    char iniPath[LOCAL_PATH], copy[LOCAL_PATH], backup[LOCAL_PATH];
    if (!WindowsFilePath(iniPath, SystemCapacity(), "SYSTEM.INI") ||
        !WindowsFilePath(copy, SystemCapacity(), "SYSTEM.QQQ") ||
        !WindowsFilePath(backup, SystemCapacity(), SYSTEM_INI_BACKUP))
        return;
    WritePrivateProfileStringA(NULL, NULL, NULL, iniPath); // what may still wait in their cache
    ProfileText text = {};
    int changed = LoadProfileFile(iniPath, TRUE, &text) ? ProfileSet(&text, "boot", "SCRNSAVE.EXE", saverPath) : -1;
    size_t size;
    char *bytes = changed > 0 ? ProfileSave(&text, &size) : NULL;
    if (bytes) {
        if (WriteWholeFile(copy, bytes, size))
            ReplaceWholeFile(copy, iniPath, backup);
    } else if (changed != 0) {
        // A file they would not read byte for byte, or no memory: theirs to write.
        WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", saverPath, iniPath);
    }
    free(bytes);
    ProfileFree(&text);
}

void ActivateScreenSaver(void)
{
    char saverPath[LOCAL_PATH];
    if (!WindowsFilePath(saverPath, SystemCapacity(), "SKYLOOP.SCR"))
        return; // a cut-off path would name another screen saver

    char osName[LOCAL_PATH];
    GetOsName(osName, OsNameCapacity < LOCAL_PATH ? OsNameCapacity : LOCAL_PATH);
    if (strcmp(osName, "Windows_NT") != 0) {
        PointSystemIniAt(saverPath);
        return;
    }

    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0,
                      KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    const struct {
        const char *name, *text;
    } values[] = {
        {"ScreenSaveActive", "1"},
        {"ScreenSaveTimeOut", "600"},
        {"SCRNSAVE.EXE", saverPath},
    };
    for (const auto &v : values) {
        // Only values the user already has are rewritten, whatever their size,
        // and each keeps its type.
        DWORD type;
        if (RegQueryValueExA(key, v.name, NULL, &type, NULL, NULL) != ERROR_SUCCESS)
            continue;
        RegSetValueExA(key, v.name, 0, type, (const BYTE *)v.text, (DWORD)strlen(v.text) + 1);
    }
    RegCloseKey(key);
}
