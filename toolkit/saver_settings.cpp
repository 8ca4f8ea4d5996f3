// The saver settings file, SKYLOOP.INI in the Windows directory: what both
// installers write there, and the TableOrder seed they share.
#include <time.h>

#include "table_order.h"
#include "toolkit.h"

void WriteSaverSetting(const char *section, const char *key, const char *value)
{
    // The bare name puts the file in the Windows directory; failures go unnoticed.
    WritePrivateProfileStringA(section, key, value, SAVER_SETTINGS_FILE);
}

void WriteSaverNumber(const char *section, const char *key, long number)
{
    char text[16];
    StringCchPrintfA(text, sizeof text, "%li", number);
    WriteSaverSetting(section, key, text);
}

BOOL NumberedKey(char *key, size_t capacity, const char *stem, int index)
{
    return SUCCEEDED(StringCchPrintfA(key, capacity, "%s%03i", stem, index));
}

BOOL WriteSaverPath(const char *section, const char *key, const char *subdirectory,
                    const char *file)
{
    char path[500];
    size_t capacity = (size_t)TargetDirCapacity;
    if (capacity > sizeof path)
        capacity = sizeof path;
    HRESULT fits = StringCchCopyA(path, capacity, InstallDir);
    if (SUCCEEDED(fits))
        fits = StringCchCatA(path, capacity, subdirectory);
    if (SUCCEEDED(fits) && file)
        fits = StringCchCatA(path, capacity, file);
    // A cut-off path would send the saver to some other file: better none.
    if (FAILED(fits))
        return FALSE;
    StringCchCopyA(TargetDir, TargetDirCapacity, path);
    WriteSaverSetting(section, key, TargetDir);
    return TRUE;
}

void WriteSaverMisc(int normal)
{
    WriteSaverNumber("Misc", "Normal", normal);
    WriteSaverSetting("Misc", "InstallDirectory", InstallDir);
    WriteSaverPath("Misc", "MapsDirectory", "\\MAPS", NULL);
    WriteSaverPath("Misc", "BackgroundMap", "\\MAPS", "\\BGROUND.BMP");
}

void SeedTableOrder(void)
{
    char text[128];
    ZeroMemory(text, sizeof text);
    GetPrivateProfileStringA("Global", "TableOrder", "", text, sizeof text, SAVER_SETTINGS_FILE);
    if (FoldTableOrder(text) != 0)
        return;

    // Windows' long is 32 bits; past 2038 the seconds wrap, which still seeds.
    uint32_t seconds = (uint32_t)(uint64_t)time(NULL);
    long now = seconds <= (uint32_t)INT32_MAX ? (long)seconds
                                               : -(long)(UINT32_MAX - seconds) - 1;
    WriteSaverNumber("Global", "TableOrder", now);
}
